// Resource ids of the program; the icon has the lowest id so that it is the file's icon.
#pragma once

#define IDI_APP 1
#define IDR_DEVICE_PICTURE 101
