#include "untCodePageText.h"
