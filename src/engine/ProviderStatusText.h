#pragma once

#include "ProviderAvailability.h"
#include "ProviderID.h"

#include <QString>

#include <optional>

// The words for a provider and its availability, shared by the settings form and the command
// line so that both say the same thing.
namespace ProviderStatusText {

// "Codex" or "Claude Code".
QString title(ProviderID provider);
// "Connected", "Not installed", ...; a provider never probed is "Not detected".
QString availability(const std::optional<ProviderAvailability>& availability);

}  // namespace ProviderStatusText
