#pragma once
// Everything a trading terminal needs from Tradewire: the factory and connection interface,
// the notification sink, the data center and the trading records.

#include "tradewire/AbsForexManager.h"
#include "tradewire/AbsForexNotify.h"
#include "tradewire/CArray.h"
#include "tradewire/CString.h"
#include "tradewire/ForexDataCenter.h"
#include "tradewire/Records.h"
#include "tradewire/Server.h"
#include "tradewire/TradewireExport.h"
#include "tradewire/Version.h"
