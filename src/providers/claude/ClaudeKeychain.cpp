#include "ClaudeKeychain.h"

ClaudeKeychain::~ClaudeKeychain() = default;
