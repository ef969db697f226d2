/* A stand-in for the tuning library with its fourteen C entry points, and controls the
   tests use to play the master: present or not, table given or not, frequencies and
   filtered notes. */
#include <stdbool.h>
#include <string.h>

#if defined(_WIN32)
#define EXPORT __declspec(dllexport)
#else
#define EXPORT __attribute__((visibility("default")))
#endif

static double table[128];
static bool filtered[128];
static bool master = false;
static bool tableGiven = true;
static int clients = 0;
static int lastChannel = 0;
static int filterQueries = 0;

/* The tuning library's entry points. */
EXPORT void MTS_RegisterClient(void) { ++clients; }
EXPORT void MTS_DeregisterClient(void) { --clients; }
EXPORT bool MTS_HasMaster(void) { return master; }
EXPORT double MTS_GetVersionNumber(void) { return 1.0; }
EXPORT bool MTS_ShouldFilterNote(char note, char channel) {
  ++filterQueries;
  lastChannel = channel;
  return (unsigned char)note < 128 && filtered[(unsigned char)note];
}
EXPORT bool MTS_ShouldFilterNoteMultiChannel(char note, char channel) {
  (void)channel;
  return MTS_ShouldFilterNote(note, -1);
}
EXPORT const double* MTS_GetTuningTable(void) { return tableGiven ? table : 0; }
EXPORT const double* MTS_GetMultiChannelTuningTable(char channel) {
  (void)channel;
  return tableGiven ? table : 0;
}
EXPORT bool MTS_UseMultiChannelTuning(char channel) {
  (void)channel;
  return false;
}
EXPORT const char* MTS_GetScaleName(void) { return "double"; }
EXPORT double MTS_GetPeriodRatio(void) { return 2.0; }
EXPORT int MTS_GetMapSize(void) { return 12; }
EXPORT int MTS_GetMapStartKey(void) { return 60; }
EXPORT int MTS_GetRefKey(void) { return 69; }

/* Controls for the tests. */
EXPORT void MtsDouble_Reset(void) {
  memset(table, 0, sizeof table);
  memset(filtered, 0, sizeof filtered);
  master = false;
  tableGiven = true;
  clients = 0;
  lastChannel = 0;
  filterQueries = 0;
}
EXPORT void MtsDouble_SetMaster(bool present) { master = present; }
EXPORT void MtsDouble_SetTableGiven(bool given) { tableGiven = given; }
EXPORT void MtsDouble_SetFrequency(int note, double hz) { table[note & 0x7F] = hz; }
EXPORT void MtsDouble_SetFiltered(int note, bool on) { filtered[note & 0x7F] = on; }
EXPORT int MtsDouble_Clients(void) { return clients; }
EXPORT int MtsDouble_LastChannel(void) { return lastChannel; }
EXPORT int MtsDouble_FilterQueries(void) { return filterQueries; }
