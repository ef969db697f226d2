// What a host sees of a fresh instance: identity, opcodes, texts, pins and capabilities.
#include <cstring>

#include "tests/vst2/HostTestSupport.h"

namespace {

TEST(HostIdentityTest, FreshInstanceReportsItsIdentity) {
  auto host = LoadPlugin();
  ASSERT_TRUE(host);
  vst::AEffect* e = host->Effect();
  EXPECT_EQ(e->magic, vst::kEffectMagic);
  EXPECT_EQ(e->numPrograms, 64);
  EXPECT_EQ(e->numParams, 51);
  EXPECT_EQ(e->numInputs, 1);
  EXPECT_EQ(e->numOutputs, 2);
  // Replacing, chunks, double replacing, mono capable, synth, and the editor (1), whose
  // rectangle is the panel's.
  EXPECT_EQ(e->flags, 4409);
  vst::ERect* rect = nullptr;
  ASSERT_EQ(host->Dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->right - rect->left, 1032);
  EXPECT_EQ(rect->bottom - rect->top, 588);
  EXPECT_EQ(e->version, 10001);
  EXPECT_EQ(e->uniqueID, ('t' << 24) | ('s' << 16) | ('v' << 8) | 'r');
  EXPECT_EQ(e->initialDelay, 0);
  EXPECT_EQ(e->ioRatio, 1.0f);
  EXPECT_EQ(host->Dispatch(vst::effGetPlugCategory), 2);
  EXPECT_EQ(host->Dispatch(vst::effGetVstVersion), 2400);
  EXPECT_EQ(host->Dispatch(vst::effGetTailSize), 0);
  EXPECT_EQ(host->Dispatch(vst::effGetVendorVersion), 10001);
  EXPECT_EQ(host->Dispatch(vst::effIdentify), 0x4E764566);
  EXPECT_EQ(host->Text(vst::effGetEffectName, 0), "Tesvar");
  EXPECT_EQ(host->Text(vst::effGetVendorString, 0), "Quellmark Music");
  EXPECT_EQ(host->Text(vst::effGetProductString, 0), "");
  EXPECT_EQ(host->Dispatch(vst::effGetEffectName, 0, 0, nullptr), 0);
  // Opcodes the plug-in does not handle answer 0.
  for (int opcode : {9, 16, 17, 18, 20, 21, 28, 30, 31, 32, 36, 43, 44, 46, 54, 57, 59, 70, 79, 500}) {
    EXPECT_EQ(host->Dispatch(opcode, 0, 0, nullptr), 0) << opcode;
  }
}

TEST(HostIdentityTest, CapabilitiesAreAnsweredCaseSensitively) {
  auto host = LoadPlugin();
  ASSERT_TRUE(host);
  auto canDo = [&](const char* text) { return host->Dispatch(vst::effCanDo, 0, 0, const_cast<char*>(text)); };
  EXPECT_EQ(canDo("receiveVstMidiEvent"), 1);
  EXPECT_EQ(canDo("receiveVstEvents"), 1);
  EXPECT_EQ(canDo("sendVstMidiEvent"), 1);
  EXPECT_EQ(canDo("receiveVstTimeInfo"), 1);
  EXPECT_EQ(canDo("hasCockosExtensions"), static_cast<std::intptr_t>(0xBEEF0000u));
  EXPECT_EQ(canDo("ReceiveVstMidiEvent"), 0);
  EXPECT_EQ(canDo("offline"), 0);
  EXPECT_EQ(host->Dispatch(vst::effCanDo, 0, 0, nullptr), 0);
}

TEST(HostIdentityTest, PinsAndSpeakerArrangements) {
  auto host = LoadPlugin();
  ASSERT_TRUE(host);
  vst::VstPinProperties pin{};
  ASSERT_EQ(host->Dispatch(vst::effGetOutputProperties, 0, 0, &pin), 1);
  EXPECT_EQ(pin.flags, 3);
  EXPECT_STREQ(pin.label, "Tesvar Left ");
  ASSERT_EQ(host->Dispatch(vst::effGetOutputProperties, 1, 0, &pin), 1);
  EXPECT_EQ(pin.flags, 1);
  EXPECT_STREQ(pin.label, "Tesvar Right ");
  ASSERT_EQ(host->Dispatch(vst::effGetInputProperties, 0, 0, &pin), 1);
  EXPECT_EQ(pin.flags, 1);
  EXPECT_STREQ(pin.label, "Input 1");
  EXPECT_EQ(host->Dispatch(vst::effGetOutputProperties, 2, 0, &pin), 0);
  EXPECT_EQ(host->Dispatch(vst::effGetInputProperties, -1, 0, &pin), 0);
  EXPECT_EQ(host->Dispatch(vst::effGetOutputProperties, 0, 0, nullptr), 0);

  vst::VstSpeakerArrangement* in = nullptr;
  vst::VstSpeakerArrangement* out = nullptr;
  EXPECT_EQ(host->Dispatch(vst::effGetSpeakerArrangement, 0, reinterpret_cast<std::intptr_t>(&in), &out), 1);
  ASSERT_NE(in, nullptr);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(in->type, vst::kSpeakerArrMono);
  EXPECT_EQ(in->numChannels, 1);
  EXPECT_EQ(out->type, vst::kSpeakerArrStereo);
  EXPECT_EQ(out->numChannels, 2);
}

TEST(HostIdentityTest, ParameterTextsAndValues) {
  auto host = LoadPlugin();
  ASSERT_TRUE(host);
  EXPECT_EQ(host->Text(vst::effGetParamName, 0), "Volume");
  EXPECT_EQ(host->Text(vst::effGetParamName, 43), "LFO 1/2 Mod. Balance");
  EXPECT_EQ(host->Text(vst::effGetParamName, 50), "reserved");
  EXPECT_EQ(host->Text(vst::effGetParamDisplay, 0), "-6.0");  // 20 log10(0.5)
  EXPECT_EQ(host->Text(vst::effGetParamDisplay, 5), "Poly");
  EXPECT_EQ(host->Text(vst::effGetParamDisplay, 6), "Polyphony: 6");
  EXPECT_EQ(host->Text(vst::effGetParamDisplay, 8), "16'");  // the first factory program
  EXPECT_EQ(host->Text(vst::effGetParamDisplay, 36), "-0.300");
  EXPECT_EQ(host->Text(vst::effGetParamLabel, 5), "");
  // Out-of-range indices write nothing.
  EXPECT_EQ(host->Text(vst::effGetParamName, 51), "");
  EXPECT_EQ(host->Text(vst::effGetParamName, -1), "");
  EXPECT_EQ(host->GetParameter(51), 0.0f);
  EXPECT_EQ(host->GetParameter(-7), 0.0f);
  host->SetParameter(99, 0.5f);

  // Mode to Unison switches the voices text.
  host->SetParameter(5, 1.0f);
  EXPECT_EQ(host->Text(vst::effGetParamDisplay, 5), "Unison");
  EXPECT_EQ(host->Text(vst::effGetParamDisplay, 6), "Voices: 6 / Poly: 1");
  host->SetParameter(5, 0.5f);
  EXPECT_EQ(host->Text(vst::effGetParamDisplay, 6), "Polyphony: 1");

  // Every parameter can be automated, and a host value reads back.
  for (int i = 0; i < 51; ++i) EXPECT_EQ(host->Dispatch(vst::effCanBeAutomated, i), 1);
  host->SetParameter(16, 0.25f);
  EXPECT_NEAR(host->GetParameter(16), 0.25f, 1e-6);
}

TEST(HostIdentityTest, NonFiniteAndOutOfRangeHostValuesAreTamed) {
  auto host = LoadPlugin();
  ASSERT_TRUE(host);
  host->SetParameter(6, 1.0f);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  host->SetParameter(6, nan);
  host->SetParameter(6, std::numeric_limits<float>::infinity());
  EXPECT_EQ(host->GetParameter(6), 1.0f);
  host->SetParameter(6, -3.0f);
  EXPECT_EQ(host->GetParameter(6), 0.0f);
  EXPECT_EQ(host->Text(vst::effGetParamDisplay, 6), "Polyphony: 1");
  host->SetParameter(6, 12.0f);
  EXPECT_EQ(host->GetParameter(6), 1.0f);
}

TEST(HostIdentityTest, TextToValueAndVendorRequests) {
  auto host = LoadPlugin();
  ASSERT_TRUE(host);
  auto toValue = [&](int index, const char* text) {
    return host->Dispatch(vst::effString2Parameter, index, 0, const_cast<char*>(text));
  };
  EXPECT_EQ(toValue(16, "31.5"), 1);
  EXPECT_NEAR(host->GetParameter(16), 31.5 / 63, 1e-6);
  EXPECT_EQ(toValue(16, "1000"), 1);  // clamped to the range
  EXPECT_EQ(host->GetParameter(16), 1.0f);
  EXPECT_EQ(toValue(16, "nan"), 1);  // not a value: nothing stored
  EXPECT_EQ(host->GetParameter(16), 1.0f);
  EXPECT_EQ(toValue(34, "Phaser"), 1);
  EXPECT_EQ(host->Text(vst::effGetParamDisplay, 34), "Phaser");
  EXPECT_EQ(toValue(34, "phaser"), 0);  // list texts match case-sensitively
  EXPECT_EQ(host->Text(vst::effGetParamDisplay, 34), "Phaser");
  EXPECT_EQ(toValue(51, "1"), 0);
  EXPECT_EQ(host->Dispatch(vst::effString2Parameter, 16, 0, nullptr), 1);

  char text[64] = {};
  EXPECT_EQ(host->Dispatch(vst::effVendorSpecific, 7, 16, text, 0.5f), 0xBEEF);
  EXPECT_STREQ(text, "31.50");
  EXPECT_EQ(host->Dispatch(vst::effVendorSpecific, 7, 99, text, 0.5f), 0xBEEF);
  EXPECT_EQ(host->Dispatch(vst::effVendorSpecific, 8, 5), 0xBEEF);  // a list
  EXPECT_EQ(host->Dispatch(vst::effVendorSpecific, 8, 16), 0);      // continuous
  EXPECT_EQ(host->Dispatch(vst::effVendorSpecific, 8, 51), 0);
  EXPECT_EQ(host->Dispatch(vst::effVendorSpecific, 3, 1), 0);
}

TEST(HostIdentityTest, ProgramNamesAreBoundedForTheHost) {
  auto host = LoadPlugin();
  ASSERT_TRUE(host);
  char name[64];
  std::memset(name, 'x', sizeof(name));
  EXPECT_EQ(host->Dispatch(vst::effGetProgramNameIndexed, 64, 0, name), 0);
  EXPECT_STREQ(name, "");
  EXPECT_EQ(host->Dispatch(vst::effGetProgramNameIndexed, 0, 0, nullptr), 0);
  EXPECT_EQ(host->Dispatch(vst::effGetProgramNameIndexed, 0, 0, name), 1);

  const std::string longName = "A program name much longer than the host's buffer";
  host->Dispatch(vst::effSetProgramName, 0, 0, const_cast<char*>(longName.c_str()));
  std::memset(name, 'x', sizeof(name));
  host->Dispatch(vst::effGetProgramName, 0, 0, name);
  EXPECT_EQ(std::string(name), longName.substr(0, 23));
  std::memset(name, 'x', sizeof(name));
  host->Dispatch(vst::effGetProgramNameIndexed, 0, 0, name);
  EXPECT_EQ(std::string(name), longName.substr(0, 23));
  EXPECT_EQ(name[24], 'x');  // nothing written past the 24 bytes
}

TEST(HostIdentityTest, ProgramSwitchingStoresAndRestoresValues) {
  auto host = LoadPlugin();
  ASSERT_TRUE(host);
  host->Dispatch(vst::effSetProgram, 0, 3);
  EXPECT_EQ(host->Dispatch(vst::effGetProgram), 3);
  host->SetParameter(17, 0.75f);
  host->Dispatch(vst::effSetProgram, 0, 4);
  const float other = host->GetParameter(17);
  host->Dispatch(vst::effSetProgram, 0, 3);
  EXPECT_FLOAT_EQ(host->GetParameter(17), 0.75f);
  host->Dispatch(vst::effSetProgram, 0, 4);
  EXPECT_FLOAT_EQ(host->GetParameter(17), other);
  host->Dispatch(vst::effSetProgram, 0, 64);  // out of range: stays
  EXPECT_EQ(host->Dispatch(vst::effGetProgram), 4);
}

}  // namespace
