#include "engine/OutlookTools.h"
