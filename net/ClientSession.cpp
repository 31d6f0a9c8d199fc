#include "net/ClientSession.h"

CClientSession* g_pClientSession = nullptr;
