#pragma once
// The program's globals, which live for the whole run. Only start-up and the command-line modes
// name them; every window and command receives what it uses through its constructor or its
// arguments.

#include "app/CommandLineInfo.h"
#include "app/ViewerApp.h"
#include "chart/Strip.h"
#include "data/FieldSample.h"
#include "settings/ViewerSettings.h"

#include <string>

extern CViewerApp theApp;
extern CCommandLineInfo g_CmdInfo;
extern std::string& g_strDataFile; // g_CmdInfo's file name
extern CViewerSettings g_Settings;
extern CStrip g_Chart;
