#include "untCodePage.h"
