#pragma once

#include "ProviderError.h"

#include <QByteArray>
#include <QString>

#include <exception>
#include <optional>

// The one exception type for every failure in Vantor, thrown through coroutines like any
// other exception. It carries either a ProviderError or a platform failure: a domain naming
// its origin ("CodexRPC", "DecodingError", ...), a code within that domain and a description.
class VantorError : public std::exception {
public:
    explicit VantorError(ProviderError error);
    VantorError(QString domain, int code, QString description, QString context = {});

    std::optional<ProviderError> providerError() const { return providerError_; }
    const QString& domain() const { return domain_; }
    int code() const { return code_; }
    const QString& description() const { return description_; }
    // Where the failure happened, for example the path of a value being decoded.
    const QString& context() const { return context_; }

    const char* what() const noexcept override { return what_.constData(); }

    static inline const QString providerErrorDomain = QStringLiteral("ProviderError");

private:
    std::optional<ProviderError> providerError_;
    QString domain_;
    int code_ = 0;
    QString description_;
    QString context_;
    QByteArray what_;
};
