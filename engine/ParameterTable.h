// The instrument's 51 parameters by index, and how they are declared in the core's records
// (the rows themselves are in resources/ParameterInfo.h, shared with the bank generator).
// Indices are fixed: state chunks, program files, the MIDI map and the tape importer all
// address parameters by them.
#pragma once

#include "engine/ParamIndex.h"

class IPlugBase;
class ParamRecord;

// Declares every parameter in the core's records, with the special display texts.
void BuildParameterTable(IPlugBase& plug);
// Declares one record as parameter `index` (0 ... kParamCount - 1) of the table: for
// code outside the plug-in object that converts or shows this product's values (the LV2
// ports) with the same ranges, curves and texts.
void DeclareParameter(ParamRecord& param, int index);

// The display texts of the three parameters that do not show a plain number or list text.
void FormatVolume(double value, char* text);
void FormatTune(double value, char* text);
// "Voices" follows the key-assign mode; the product switches it when the mode changes.
void FormatVoicesPoly(double value, char* text);
void FormatVoicesChord(double value, char* text);
void FormatVoicesUnison(double value, char* text);
