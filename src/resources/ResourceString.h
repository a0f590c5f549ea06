#pragma once

#include <QString>

#include <initializer_list>

namespace quorvel {

/// A named localizable text with its English default. The active translation table replaces the
/// default at run time; keys are the names the translation files use.
struct ResourceString {
    const char* key;
    const char* defaultText; // UTF-8

    QString Text() const;
    /// Text() with each "%s"/"%d" placeholder replaced by the next argument, in order.
    QString Format(std::initializer_list<QString> args) const;
};

/// Process-wide translation table (section = locale id, lines key="text").
class Localizer {
public:
    /// Activates the section `localeId` of a translation text; returns false if it has none.
    static bool Activate(const QString& iniText, int localeId);
    /// Activates the translation shipped with the program for `localeId` (1049 = Russian).
    static bool ActivateShipped(int localeId);
    /// Back to the built-in English texts.
    static void Reset();
    static int ActiveLocaleId();
    static QString Translate(const char* key, const char* defaultText);
};

/// Replaces "%s", "%d" (and "%%") placeholders in order, as the resource texts use them.
QString FormatPlaceholders(const QString& pattern, std::initializer_list<QString> args);

inline constexpr int kLocaleRussian = 1049;

} // namespace quorvel
