#include "tradewire/AbsForexManager.h"

// Placeholder until the connection object lands: no object can be made yet.
CAbsForexManager* GetAbsTradewire() { return nullptr; }
