#include "NotificationCenter.h"

NotificationCenter::~NotificationCenter() = default;
