// One translation unit defines the globals, so they are built in this order and destroyed in the
// reverse: the application object, the command line, the settings, the chart; the day's array is
// static storage that needs no construction.

#include "app/Globals.h"

CViewerApp theApp;
CCommandLineInfo g_CmdInfo;
std::string& g_strDataFile = g_CmdInfo.m_strFileName;
CViewerSettings g_Settings;
CStrip g_Chart;
FieldSample g_Samples[MAX_FIELD_SAMPLES];
