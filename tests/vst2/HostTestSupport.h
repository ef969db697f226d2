// Shared set-up of the tests that load the built plug-in through its entry point.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tools/PluginHost.h"

// Points HOME and the XDG folders at a fresh temporary folder, so the plug-in's settings
// never touch the real home.
void UseTemporaryHome();

// Loads a fresh instance, opened and started at 44100 Hz with 512-frame blocks.
std::unique_ptr<PluginHost> LoadPlugin(const std::string& product = "Tesvar Test Host",
                                       const std::string& vendor = "Quellmark Test");
