#pragma once

#include <QString>

#include <exception>
#include <string>

namespace quorvel {

/// Base of every programming or input failure; formula errors are values, never these.
class ESpreadSheetError : public std::exception {
public:
    explicit ESpreadSheetError(QString message)
        : message_(std::move(message))
        , utf8_(message_.toStdString())
    {
    }
    const QString& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return utf8_.c_str(); }

private:
    QString message_;
    std::string utf8_;
};

#define QUORVEL_DECLARE_ERROR(Name, Base)                                                                             \
    class Name : public Base {                                                                                        \
    public:                                                                                                           \
        using Base::Base;                                                                                             \
    };

QUORVEL_DECLARE_ERROR(ESpreadSheetFormatError, ESpreadSheetError)
QUORVEL_DECLARE_ERROR(ESpreadSheetReaderError, ESpreadSheetError)
QUORVEL_DECLARE_ERROR(ESpreadSheetInvalidPasswordError, ESpreadSheetError)
QUORVEL_DECLARE_ERROR(ESpreadSheetProtectionError, ESpreadSheetError)
QUORVEL_DECLARE_ERROR(ESpreadSheetCannotChangePartOfArrayError, ESpreadSheetError)
QUORVEL_DECLARE_ERROR(ESpreadSheetCircularReferencesError, ESpreadSheetError)
QUORVEL_DECLARE_ERROR(ESpreadSheetFormulaIsTooLongError, ESpreadSheetError)
QUORVEL_DECLARE_ERROR(ESpreadSheetNumberFormatError, ESpreadSheetError)
QUORVEL_DECLARE_ERROR(ESpreadSheetHyperlinkExecuteError, ESpreadSheetError)

#undef QUORVEL_DECLARE_ERROR

} // namespace quorvel
