#include "SCC_Notifier.h"

long SCC_Notifier::GetMassNotificationTreshold() { return 10; }
