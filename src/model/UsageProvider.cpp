#include "UsageProvider.h"

UsageProvider::~UsageProvider() = default;
