#include "net/ClientSession.h"
