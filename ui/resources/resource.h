// Resource ids of the program; the icon has the lowest id so that it is the file's icon.
#pragma once

#define IDI_APP 1
