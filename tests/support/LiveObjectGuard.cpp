#include "support/LiveObjectGuard.h"
