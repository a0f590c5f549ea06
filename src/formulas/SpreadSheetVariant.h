#pragma once

#include <QString>

#include <cstdint>

namespace quorvel {

enum class SpreadSheetVariantType : std::uint8_t {
    vtEmpty, // a blank cell or a missing value
    vtNull,
    vtInteger,
    vtFloat,
    vtCurrency, // 64-bit fixed point, amount x 10000
    vtDateTime,
    vtText,
    vtBoolean,
};
using enum SpreadSheetVariantType;

/// A scalar that flows through formula evaluation. Errors are not values: they travel beside them
/// as the error code of a result.
class SpreadSheetVariant {
public:
    SpreadSheetVariant() = default;
    static SpreadSheetVariant Null() { return SpreadSheetVariant(vtNull); }
    static SpreadSheetVariant FromInteger(int value)
    {
        SpreadSheetVariant v(vtInteger);
        v.integer_ = value;
        return v;
    }
    static SpreadSheetVariant FromFloat(double value)
    {
        SpreadSheetVariant v(vtFloat);
        v.number_ = value;
        return v;
    }
    static SpreadSheetVariant FromCurrency(std::int64_t value)
    {
        SpreadSheetVariant v(vtCurrency);
        v.currency_ = value;
        return v;
    }
    static SpreadSheetVariant FromDateTime(double value)
    {
        SpreadSheetVariant v(vtDateTime);
        v.number_ = value;
        return v;
    }
    static SpreadSheetVariant FromText(QString value)
    {
        SpreadSheetVariant v(vtText);
        v.text_ = std::move(value);
        return v;
    }
    static SpreadSheetVariant FromBoolean(bool value)
    {
        SpreadSheetVariant v(vtBoolean);
        v.boolean_ = value;
        return v;
    }

    SpreadSheetVariantType Type() const { return type_; }
    bool IsEmpty() const { return type_ == vtEmpty; }
    bool IsNull() const { return type_ == vtNull; }
    bool IsEmptyOrNull() const { return type_ == vtEmpty || type_ == vtNull; }
    bool IsText() const { return type_ == vtText; }
    bool IsBoolean() const { return type_ == vtBoolean; }
    bool IsNumeric() const
    {
        return type_ == vtInteger || type_ == vtFloat || type_ == vtCurrency || type_ == vtDateTime;
    }

    // Each reads its own kind and gives 0 (false) for any other.
    int Integer() const { return type_ == vtInteger ? integer_ : 0; }
    double Float() const { return type_ == vtFloat || type_ == vtDateTime ? number_ : 0; }
    std::int64_t Currency() const { return type_ == vtCurrency ? currency_ : 0; }
    bool Boolean() const { return type_ == vtBoolean && boolean_; }
    const QString& Text() const { return text_; }
    /// The numeric kinds as a double (currency divided by 10000); 0 for every other kind.
    double AsDouble() const
    {
        switch (type_) {
        case vtInteger:
            return integer_;
        case vtFloat:
        case vtDateTime:
            return number_;
        case vtCurrency:
            return static_cast<double>(currency_) / 10000.0;
        default:
            return 0;
        }
    }

    bool operator==(const SpreadSheetVariant& other) const;

private:
    explicit SpreadSheetVariant(SpreadSheetVariantType type)
        : type_(type)
    {
    }

    SpreadSheetVariantType type_ = vtEmpty;
    // One slot for the scalar kinds: a variant is held by every formula and every value token.
    union {
        bool boolean_;
        int integer_;
        double number_ = 0;
        std::int64_t currency_;
    };
    QString text_;
};

inline bool SpreadSheetVariant::operator==(const SpreadSheetVariant& other) const
{
    if (type_ != other.type_)
        return false;
    switch (type_) {
    case vtEmpty:
    case vtNull:
        return true;
    case vtInteger:
        return integer_ == other.integer_;
    case vtFloat:
    case vtDateTime:
        return number_ == other.number_;
    case vtCurrency:
        return currency_ == other.currency_;
    case vtText:
        return text_ == other.text_;
    case vtBoolean:
        return boolean_ == other.boolean_;
    }
    return false;
}

} // namespace quorvel
