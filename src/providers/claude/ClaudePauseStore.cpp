#include "ClaudePauseStore.h"

ClaudePauseStore::~ClaudePauseStore() = default;
