#include "LoginItemService.h"

LoginItemService::~LoginItemService() = default;
