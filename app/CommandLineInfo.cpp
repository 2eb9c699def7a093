#include "app/CommandLineInfo.h"

CCommandLineInfo g_CmdInfo;
std::string& g_strDataFile = g_CmdInfo.m_strFileName;
