// The file chooser the Linux editor draws itself where no desktop dialog is installed: the
// folder's subfolders, its files filtered by the extension list, a name field, and Open or
// Save; saving over an existing file asks first.
#pragma once

#include <string>
#include <vector>

class IGraphicsX11;
struct IFileRequest;

namespace x11 {

// True with the chosen full path; false when cancelled or the editor closed.
bool RunDrawnFileChooser(IGraphicsX11& editor, const IFileRequest& request, std::string& path);

// The listing the chooser shows (sorted by name without regard to case; hidden entries left
// out): subfolders, and the files whose extension is in `extensions` (any case; an empty
// list with the pattern "*." takes files without an extension, otherwise every file).
struct FolderListing {
  std::vector<std::string> folders;
  std::vector<std::string> files;
};
FolderListing ListFolder(const std::string& folder, const std::vector<std::string>& extensions,
                         const std::string& pattern);

}  // namespace x11
