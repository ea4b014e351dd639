#include "notification/NotificationCenter.h"

TNotificationCenter* TNotificationCenter::FInstance = nullptr;
