// The VST 2.4 binary interface between a host and this plug-in: records, opcodes and
// flags, written from the published layout. Only vst2/ and the tools that play host use it.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define VST_CALL __cdecl
#else
#define VST_CALL
#endif

namespace vst {

struct AEffect;

using HostCallback = std::intptr_t(VST_CALL*)(AEffect* effect, std::int32_t opcode, std::int32_t index,
                                              std::intptr_t value, void* ptr, float opt);
using DispatcherProc = std::intptr_t(VST_CALL*)(AEffect* effect, std::int32_t opcode, std::int32_t index,
                                                std::intptr_t value, void* ptr, float opt);
using ProcessProc = void(VST_CALL*)(AEffect* effect, float** inputs, float** outputs, std::int32_t frames);
using ProcessDoubleProc = void(VST_CALL*)(AEffect* effect, double** inputs, double** outputs, std::int32_t frames);
using SetParameterProc = void(VST_CALL*)(AEffect* effect, std::int32_t index, float value);
using GetParameterProc = float(VST_CALL*)(AEffect* effect, std::int32_t index);
using EntryProc = AEffect*(VST_CALL*)(HostCallback host);

constexpr std::int32_t kEffectMagic = 0x56737450;  // 'VstP'

// The effect record the host reads and calls through.
struct AEffect {
  std::int32_t magic;
  DispatcherProc dispatcher;
  ProcessProc process;  // the older accumulating entry
  SetParameterProc setParameter;
  GetParameterProc getParameter;
  std::int32_t numPrograms;
  std::int32_t numParams;
  std::int32_t numInputs;
  std::int32_t numOutputs;
  std::int32_t flags;
  std::intptr_t reserved1;
  std::intptr_t reserved2;
  std::int32_t initialDelay;
  std::int32_t realQualities;
  std::int32_t offQualities;
  float ioRatio;
  void* object;
  void* user;
  std::int32_t uniqueID;
  std::int32_t version;
  ProcessProc processReplacing;
  ProcessDoubleProc processDoubleReplacing;
  char future[56];
};

enum EffectFlags : std::int32_t {
  kFlagHasEditor = 1,
  kFlagMonoCapable = 8,
  kFlagCanReplacing = 16,
  kFlagProgramChunks = 32,
  kFlagIsSynth = 256,
  kFlagNoSoundInStop = 512,
  kFlagCanDoubleReplacing = 4096,
};

// Requests from the host to the plug-in (dispatcher opcodes).
enum EffectOpcode : std::int32_t {
  effOpen = 0,
  effClose = 1,
  effSetProgram = 2,
  effGetProgram = 3,
  effSetProgramName = 4,
  effGetProgramName = 5,
  effGetParamLabel = 6,
  effGetParamDisplay = 7,
  effGetParamName = 8,
  effSetSampleRate = 10,
  effSetBlockSize = 11,
  effMainsChanged = 12,
  effEditGetRect = 13,
  effEditOpen = 14,
  effEditClose = 15,
  effEditIdle = 19,
  effIdentify = 22,
  effGetChunk = 23,
  effSetChunk = 24,
  effProcessEvents = 25,
  effCanBeAutomated = 26,
  effString2Parameter = 27,
  effGetProgramNameIndexed = 29,
  effGetInputProperties = 33,
  effGetOutputProperties = 34,
  effGetPlugCategory = 35,
  effProcessVarIo = 41,
  effSetSpeakerArrangement = 42,
  effGetEffectName = 45,
  effGetVendorString = 47,
  effGetProductString = 48,
  effGetVendorVersion = 49,
  effVendorSpecific = 50,  // index kVendorScaleFactor: the host's screen scale in opt
  effCanDo = 51,
  effGetTailSize = 52,
  effIdle = 53,
  effGetVstVersion = 58,
  effGetMidiKeyName = 66,
  effGetSpeakerArrangement = 69,
  effStartProcess = 71,
  effStopProcess = 72,
};

// Requests from the plug-in to the host (host callback opcodes).
enum HostOpcode : std::int32_t {
  audioMasterAutomate = 0,
  audioMasterVersion = 1,
  audioMasterCurrentId = 2,
  audioMasterIdle = 3,
  audioMasterWantMidi = 6,
  audioMasterGetTime = 7,
  audioMasterProcessEvents = 8,
  audioMasterSizeWindow = 15,  // index: width, value: height; answers 1 when done
  audioMasterGetCurrentProcessLevel = 23,
  audioMasterGetVendorString = 32,
  audioMasterGetProductString = 33,
  audioMasterGetVendorVersion = 34,
  audioMasterCanDo = 37,
  audioMasterUpdateDisplay = 42,
  audioMasterBeginEdit = 43,
  audioMasterEndEdit = 44,
};

// effVendorSpecific's index by which hosts pass their screen scale factor ('PreS').
constexpr std::int32_t kVendorScaleFactor = 0x50726553;

constexpr std::int32_t kPlugCategoryEffect = 1;
constexpr std::int32_t kPlugCategorySynth = 2;
constexpr std::int32_t kProcessLevelOffline = 4;

// Text sizes the interface publishes for host buffers.
constexpr std::size_t kMaxProgramNameLength = 24;  // opcodes 5 and 29, terminator included
constexpr std::size_t kMaxEffectNameLength = 32;
constexpr std::size_t kMaxVendorStringLength = 64;

enum EventType : std::int32_t { kMidiType = 1, kSysExType = 6 };

struct VstEvent {
  std::int32_t type;
  std::int32_t byteSize;
  std::int32_t deltaFrames;
  std::int32_t flags;
  char data[16];
};

struct VstMidiEvent {
  std::int32_t type;
  std::int32_t byteSize;
  std::int32_t deltaFrames;
  std::int32_t flags;
  std::int32_t noteLength;
  std::int32_t noteOffset;
  char midiData[4];
  char detune;
  char noteOffVelocity;
  char reserved1;
  char reserved2;
};

struct VstMidiSysexEvent {
  std::int32_t type;
  std::int32_t byteSize;
  std::int32_t deltaFrames;
  std::int32_t flags;
  std::int32_t dumpBytes;
  std::intptr_t reserved1;
  char* sysexDump;
  std::intptr_t reserved2;
};

// A list of events; the host allocates it with as many pointers as numEvents.
struct VstEvents {
  std::int32_t numEvents;
  std::intptr_t reserved;
  VstEvent* events[2];
};

enum TimeInfoFlags : std::int32_t {
  kTransportChanged = 1,
  kTransportPlaying = 2,
  kTransportCycleActive = 4,
  kTransportRecording = 8,
  kNanosValid = 0x100,
  kPpqPosValid = 0x200,
  kTempoValid = 0x400,
  kBarsValid = 0x800,
  kCyclePosValid = 0x1000,
  kTimeSigValid = 0x2000,
  kSmpteValid = 0x4000,
  kClockValid = 0x8000,
};

struct VstTimeInfo {
  double samplePos;
  double sampleRate;
  double nanoSeconds;
  double ppqPos;
  double tempo;
  double barStartPos;
  double cycleStartPos;
  double cycleEndPos;
  std::int32_t timeSigNumerator;
  std::int32_t timeSigDenominator;
  std::int32_t smpteOffset;
  std::int32_t smpteFrameRate;
  std::int32_t samplesToNextClock;
  std::int32_t flags;
};

enum PinFlags : std::int32_t { kPinIsActive = 1, kPinIsStereo = 2, kPinUseSpeaker = 4 };

struct VstPinProperties {
  char label[64];
  std::int32_t flags;
  std::int32_t arrangementType;
  char shortLabel[8];
  char future[48];
};

struct VstSpeakerProperties {
  float azimuth;
  float elevation;
  float radius;
  float reserved;
  char name[64];
  std::int32_t type;
  char future[28];
};

struct VstSpeakerArrangement {
  std::int32_t type;
  std::int32_t numChannels;
  VstSpeakerProperties speakers[8];
};

enum SpeakerArrangementType : std::int32_t {
  kSpeakerArrUserDefined = -2,
  kSpeakerArrEmpty = -1,
  kSpeakerArrMono = 0,
  kSpeakerArrStereo = 1,
};

struct ERect {
  std::int16_t top;
  std::int16_t left;
  std::int16_t bottom;
  std::int16_t right;
};

// The layout checks: these sizes and offsets are what every host compiled against the
// published interface expects.
#define TESVAR_CHECK_OFFSET(type, field, off64, off32) \
  static_assert(offsetof(type, field) == (sizeof(void*) == 8 ? (off64) : (off32)), #type "." #field)
TESVAR_CHECK_OFFSET(AEffect, dispatcher, 8, 4);
TESVAR_CHECK_OFFSET(AEffect, numPrograms, 40, 20);
TESVAR_CHECK_OFFSET(AEffect, flags, 56, 36);
TESVAR_CHECK_OFFSET(AEffect, reserved1, 64, 40);
TESVAR_CHECK_OFFSET(AEffect, initialDelay, 80, 48);
TESVAR_CHECK_OFFSET(AEffect, ioRatio, 92, 60);
TESVAR_CHECK_OFFSET(AEffect, object, 96, 64);
TESVAR_CHECK_OFFSET(AEffect, uniqueID, 112, 72);
TESVAR_CHECK_OFFSET(AEffect, processReplacing, 120, 80);
TESVAR_CHECK_OFFSET(AEffect, processDoubleReplacing, 128, 84);
TESVAR_CHECK_OFFSET(AEffect, future, 136, 88);
TESVAR_CHECK_OFFSET(VstEvents, events, 16, 8);
TESVAR_CHECK_OFFSET(VstMidiEvent, midiData, 24, 24);
TESVAR_CHECK_OFFSET(VstMidiSysexEvent, sysexDump, 32, 24);
TESVAR_CHECK_OFFSET(VstTimeInfo, timeSigNumerator, 64, 64);
TESVAR_CHECK_OFFSET(VstTimeInfo, flags, 84, 84);
TESVAR_CHECK_OFFSET(VstPinProperties, flags, 64, 64);
TESVAR_CHECK_OFFSET(VstSpeakerArrangement, speakers, 8, 8);
#undef TESVAR_CHECK_OFFSET
static_assert(sizeof(AEffect) == (sizeof(void*) == 8 ? 192 : 144));
static_assert(sizeof(VstEvent) == 32);
static_assert(sizeof(VstMidiEvent) == 32);
static_assert(sizeof(VstMidiSysexEvent) == (sizeof(void*) == 8 ? 48 : 32));
static_assert(sizeof(VstTimeInfo) == 88);
static_assert(sizeof(VstPinProperties) == 128);
static_assert(sizeof(VstSpeakerProperties) == 112);
static_assert(sizeof(VstSpeakerArrangement) == 904);
static_assert(sizeof(ERect) == 8);

}  // namespace vst
