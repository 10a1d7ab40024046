#include "VantorError.h"

#include <utility>

VantorError::VantorError(ProviderError error)
    : providerError_(error),
      domain_(providerErrorDomain),
      code_(static_cast<int>(error)),
      description_(::description(error)),
      what_(description_.toUtf8()) {}

VantorError::VantorError(QString domain, int code, QString description, QString context)
    : domain_(std::move(domain)),
      code_(code),
      description_(std::move(description)),
      context_(std::move(context)) {
    what_ = (domain_ + QLatin1String(": ") + description_).toUtf8();
    if (!context_.isEmpty()) {
        what_ += " (" + context_.toUtf8() + ')';
    }
}
