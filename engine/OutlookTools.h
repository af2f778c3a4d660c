#pragma once
// Naming, finding, creating and comparing mail folders.

#include "platform/outlook/Outlook.h"
