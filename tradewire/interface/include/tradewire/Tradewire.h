#pragma once
// Everything a trading terminal needs from Tradewire: the factory and connection interface,
// the notification sink (and its do-nothing base), the data center, the trading records and
// the names of their codes.

#include "tradewire/AbsForexManager.h"
#include "tradewire/AbsForexNotify.h"
#include "tradewire/CArray.h"
#include "tradewire/CString.h"
#include "tradewire/ForexDataCenter.h"
#include "tradewire/ForexNotifyAdapter.h"
#include "tradewire/Records.h"
#include "tradewire/Server.h"
#include "tradewire/TradeCodes.h"
#include "tradewire/TradewireExport.h"
#include "tradewire/Version.h"
