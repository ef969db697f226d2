// The addresses that name Tesvar's LV2 version: the plug-in, its editor, the keys of its
// saved state, its file property and its presets. Hosts store them in sessions and preset
// files, so they never change.
#pragma once

// The plug-in's own address; everything else is under it.
#define TESVAR_LV2_URI "https://www.quellmarkmusic.com/lv2/tesvar"

namespace lv2uris {

inline constexpr char kPlugin[] = TESVAR_LV2_URI;
inline constexpr char kUi[] = TESVAR_LV2_URI "#ui";

// State keys. The bank: the bytes of the VST2 bank chunk (atom:Chunk). The current program
// index 0 ... 63 (atom:Int). A single program: the bytes of the VST2 program chunk
// (atom:Chunk), which the presets carry; restoring it changes the current program only.
inline constexpr char kStateBank[] = TESVAR_LV2_URI "#bank";
inline constexpr char kStateProgram[] = TESVAR_LV2_URI "#program";
inline constexpr char kStateProgramChunk[] = TESVAR_LV2_URI "#programChunk";
// The values the plug-in last saw in its 51 parameter ports, as little-endian floats in
// index order (atom:Chunk): restored, they tell the values the host saved with the state
// from the values it writes afterwards.
inline constexpr char kStateControls[] = TESVAR_LV2_URI "#controls";

// A writable property (atom:Path): an FXP program or FXB bank file to load, as the
// editor's "Load Program..." and "Load Bank..." do.
inline constexpr char kFileProperty[] = TESVAR_LV2_URI "#file";

// Presets: TESVAR_LV2_URI "/preset/<bank>-<number>", numbered 11 ... 88 as on the panel;
// their banks TESVAR_LV2_URI "/bank/<bank>".
inline constexpr char kPresetBase[] = TESVAR_LV2_URI "/preset/";
inline constexpr char kBankBase[] = TESVAR_LV2_URI "/bank/";

}  // namespace lv2uris
