// The program's version: the one place it is set (the version record is built from it).
#pragma once

#define VANTOR_VERSION_MAJOR 1
#define VANTOR_VERSION_MINOR 0
#define VANTOR_VERSION_PATCH 0
#define VANTOR_VERSION_BUILD 0
#define VANTOR_VERSION_TEXT "1.0.0.0"
#define VANTOR_PRODUCT_NAME "VantorTableTopMicrophoneSettings"
#define VANTOR_EXE_NAME "VantorTableTopMicrophoneSettings.exe"
