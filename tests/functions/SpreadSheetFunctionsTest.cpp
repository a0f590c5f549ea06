#include "formulas/SpreadSheetFormatSettings.h"
#include "functions/SpreadSheetFunctions.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QSet>

#include <map>

namespace quorvel {
namespace {

SpreadSheetFunctionsRepository& registry() { return SpreadSheetFunctionsRepository::Instance(); }

const SpreadSheetFunctionInfo& entry(const char* name)
{
    const SpreadSheetFunctionInfo* info = registry().GetInfoByName(QString::fromLatin1(name));
    if (!info)
        throw std::runtime_error(std::string("not registered: ") + name);
    return *info;
}

void doNothing(SpreadSheetFormulaResult&, SpreadSheetFormulaToken*) { }

TEST(SpreadSheetFunctions, LookupByNameIgnoresCaseAndXlfnPrefix)
{
    struct Case {
        const char* text;
        qsizetype length; // -1: the whole text
        const char* expected; // nullptr: not found
    };
    const Case cases[] = {
        { "sum", -1, "SUM" },
        { "SUM", -1, "SUM" },
        { "Sum", -1, "SUM" },
        { "_xlfn.SUM", -1, "SUM" },
        { "_XLFN.sum", -1, "SUM" },
        { "_xlfn.STDEV.S", -1, "STDEV.S" },
        { "beta.dist", -1, "BETA.DIST" },
        { "betadist", -1, "BETADIST" },
        { "f.dist", -1, "F.DIST" },
        { "fdist", -1, "FDIST" },
        { "t", -1, "T" },
        { "log10", -1, "LOG10" },
        // The parser passes an identifier inside the formula text with its length.
        { "SUMIF(A1:A3,1)", 5, "SUMIF" },
        { "SUMIFS", 5, "SUMIF" },
        { "SUMIFS", 3, "SUM" },
        { "_xlfn.IFNA(1,2)", 10, "IFNA" },
        { "_xlfn.", -1, nullptr },
        { "_xlfn.SUM", 6, nullptr },
        { "", -1, nullptr },
        { "SUMX", -1, nullptr },
        { "SU", -1, nullptr },
        { "_xlfn._xlfn.SUM", -1, nullptr },
        { "xlfn.SUM", -1, nullptr },
    };
    for (const Case& c : cases) {
        const QString text = QString::fromLatin1(c.text);
        const SpreadSheetFunctionInfo* found
            = c.length < 0 ? registry().GetInfoByName(text) : registry().GetInfoByName(text, c.length);
        if (c.expected) {
            ASSERT_NE(found, nullptr) << c.text;
            EXPECT_EQ(found->Name(), QString::fromLatin1(c.expected)) << c.text;
        } else {
            EXPECT_EQ(found, nullptr) << c.text;
        }
    }
}

TEST(SpreadSheetFunctions, LookupIgnoresCaseInLocalesWithTheirOwnCaseRules)
{
    // Turkish collation tells dotted from dotless i; the English names must still be found.
    const QLocale saved;
    for (const char* locale : { "tr_TR", "az_AZ", "ru_RU", "en_US" }) {
        QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
        SpreadSheetFunctionsRepository repository;
        repository.RegisterBuiltInFunctions();
        for (const char16_t* name : { u"sumif", u"isblank", u"_xlfn.ifna", u"Index", u"minverse" })
            EXPECT_NE(repository.GetInfoByName(QStringView(name)), nullptr) << locale;
    }
    QLocale::setDefault(saved);
}

TEST(SpreadSheetFunctions, SignatureText)
{
    const std::pair<const char*, const char*> cases[] = {
        { "SUMIF", "SUMIF(array1, value2, [array3])" },
        { "IF", "IF(value1, [value2], [value3])" },
        { "SUM", "SUM(value1, ...)" },
        { "SUBTOTAL", "SUBTOTAL(value1, value2, ...)" },
        { "SUMIFS", "SUMIFS(array1, array2, value3, [value4], ...)" },
        { "NETWORKDAYS.INTL", "NETWORKDAYS.INTL(value1, value2, [value3], [array4])" },
        { "OFFSET", "OFFSET(value1, value2, value3, [value4], [value5])" },
        { "COLUMN", "COLUMN([value1])" },
        { "PI", "PI()" },
        { "NOW", "NOW()" },
        { "DSUM", "DSUM(?)" },
        { "AGGREGATE", "AGGREGATE(?)" },
    };
    for (const auto& [name, signature] : cases)
        EXPECT_EQ(entry(name).ToString(), QString::fromLatin1(signature)) << name;
}

TEST(SpreadSheetFunctions, RegistersEveryNameOnceByCategory)
{
    ASSERT_EQ(registry().Count(), 457);
    QSet<QString> names;
    std::map<SpreadSheetFunctionType, int> perCategory;
    for (qsizetype i = 0; i < registry().Count(); ++i) {
        const SpreadSheetFunctionInfo& info = registry().GetItem(i);
        EXPECT_EQ(info.Name(), info.Name().toUpper());
        EXPECT_FALSE(names.contains(info.Name())) << info.Name().toStdString();
        names.insert(info.Name());
        ++perCategory[info.TypeID()];
    }
    const std::map<SpreadSheetFunctionType, int> expected = {
        { ftMath, 79 },
        { ftLogical, 9 },
        { ftInformation, 20 },
        { ftLookupAndReference, 19 },
        { ftDateTime, 24 },
        { ftText, 37 },
        { ftStatistical, 104 },
        { ftCompatibility, 37 },
        { ftFinancial, 55 },
        { ftDatabase, 12 },
        { ftCube, 7 },
        { ftEngineering, 54 },
    };
    EXPECT_EQ(perCategory, expected);
}

TEST(SpreadSheetFunctions, XlsNumbersFollowTheBuiltInFunctionTable)
{
    const std::pair<const char*, int> cases[] = {
        { "COUNT", 0 },
        { "IF", 1 },
        { "ISNA", 2 },
        { "ISERROR", 3 },
        { "SUM", 4 },
        { "AVERAGE", 5 },
        { "MIN", 6 },
        { "MAX", 7 },
        { "ROW", 8 },
        { "COLUMN", 9 },
        { "NA", 10 },
        { "NPV", 11 },
        { "STDEV", 12 },
        { "DOLLAR", 13 },
        { "PI", 19 },
        { "ROUND", 27 },
        { "LOOKUP", 28 },
        { "INDEX", 29 },
        { "TRUE", 34 },
        { "FALSE", 35 },
        { "MOD", 39 },
        { "DCOUNT", 40 },
        { "DSUM", 41 },
        { "VAR", 46 },
        { "TEXT", 48 },
        { "LINEST", 49 },
        { "GROWTH", 52 },
        { "PV", 56 },
        { "IRR", 62 },
        { "RAND", 63 },
        { "MATCH", 64 },
        { "DATE", 65 },
        { "NOW", 74 },
        { "OFFSET", 78 },
        { "SEARCH", 82 },
        { "TRANSPOSE", 83 },
        { "TYPE", 86 },
        { "ATAN2", 97 },
        { "CHOOSE", 100 },
        { "HLOOKUP", 101 },
        { "VLOOKUP", 102 },
        { "ISREF", 105 },
        { "LOG", 109 },
        { "CHAR", 111 },
        { "FIND", 124 },
        { "CELL", 125 },
        { "N", 131 },
        { "DATEVALUE", 140 },
        { "DDB", 144 },
        { "INDIRECT", 148 },
        { "CLEAN", 162 },
        { "MMULT", 165 },
        { "IPMT", 167 },
        { "COUNTA", 169 },
        { "PRODUCT", 183 },
        { "DPRODUCT", 189 },
        { "TRUNC", 197 },
        { "DCOUNTA", 199 },
        { "FINDB", 205 },
        { "LENB", 211 },
        { "ROUNDUP", 212 },
        { "ROUNDDOWN", 213 },
        { "RANK", 216 },
        { "ADDRESS", 219 },
        { "DAYS360", 220 },
        { "TODAY", 221 },
        { "VDB", 222 },
        { "MEDIAN", 227 },
        { "SUMPRODUCT", 228 },
        { "ATANH", 234 },
        { "DGET", 235 },
        { "INFO", 244 },
        { "DB", 247 },
        { "FREQUENCY", 252 },
        { "ERROR.TYPE", 261 },
        { "AVEDEV", 269 },
        { "GAMMALN", 271 },
        { "COMBIN", 276 },
        { "CRITBINOM", 278 },
        { "FLOOR", 285 },
        { "CEILING", 288 },
        { "NORMSINV", 296 },
        { "WEIBULL", 302 },
        { "SUMXMY2", 303 },
        { "SUMX2PY2", 305 },
        { "CHITEST", 306 },
        { "STEYX", 314 },
        { "ZTEST", 324 },
        { "TINV", 332 },
        { "CONCATENATE", 336 },
        { "POWER", 337 },
        { "RADIANS", 342 },
        { "SUBTOTAL", 344 },
        { "SUMIF", 345 },
        { "COUNTIF", 346 },
        { "COUNTBLANK", 347 },
        { "ISPMT", 350 },
        { "ROMAN", 354 },
        { "GETPIVOTDATA", 358 },
        { "HYPERLINK", 359 },
        { "PHONETIC", 360 },
        { "AVERAGEA", 361 },
        { "VARA", 367 },
        { "BAHTTEXT", 368 },
        { "RTD", 379 },
        // Functions the table does not contain.
        { "IFERROR", 255 },
        { "SUMIFS", 255 },
        { "COUNTIFS", 255 },
        { "AVERAGEIF", 255 },
        { "EDATE", 255 },
        { "EOMONTH", 255 },
        { "NETWORKDAYS", 255 },
        { "WORKDAY", 255 },
        { "YEARFRAC", 255 },
        { "ISEVEN", 255 },
        { "ISODD", 255 },
        { "ISFORMULA", 255 },
        { "MROUND", 255 },
        { "QUOTIENT", 255 },
        { "RANDBETWEEN", 255 },
        { "SERIESSUM", 255 },
        { "GCD", 255 },
        { "LCM", 255 },
        { "ARABIC", 255 },
        { "ACCRINT", 255 },
        { "XNPV", 255 },
        { "STDEV.S", 255 },
        { "CUBEVALUE", 255 },
        { "HEX2DEC", 255 },
    };
    for (const auto& [name, number] : cases)
        EXPECT_EQ(entry(name).Token(), number) << name;
}

TEST(SpreadSheetFunctions, XlsNumbersRoundTripThroughGetInfoByID)
{
    QSet<int> seen;
    for (qsizetype i = 0; i < registry().Count(); ++i) {
        SpreadSheetFunctionInfo& info = registry().GetItem(i);
        const bool needsNoNumber = info.PrefixID() == kPrefixXlfn || info.TypeID() == ftCube
            || info.TypeID() == ftEngineering;
        if (needsNoNumber) {
            EXPECT_EQ(info.Token(), kNoXlsFunctionToken) << info.Name().toStdString();
        }
        if (info.Token() == kNoXlsFunctionToken)
            continue;
        EXPECT_FALSE(seen.contains(info.Token())) << info.Name().toStdString();
        seen.insert(info.Token());
        EXPECT_EQ(registry().GetInfoByID(info.Token()), &info) << info.Name().toStdString();
    }
    EXPECT_EQ(registry().GetInfoByID(53), nullptr); // a macro-sheet function (GOTO)
    EXPECT_EQ(registry().GetInfoByID(1000), nullptr);
}

TEST(SpreadSheetFunctions, RegistrationFlags)
{
    struct Case {
        const char* name;
        SpreadSheetFunctionResultKind resultKind;
        bool availableInContainers;
        std::uint8_t prefix;
        SpreadSheetFunctionType type;
    };
    const Case cases[] = {
        { "ABS", frkValue, true, kPrefixNone, ftMath },
        { "MMULT", frkArray, false, kPrefixNone, ftMath },
        { "SUM", frkNonArrayValue, true, kPrefixNone, ftMath },
        { "SUMIF", frkNonArrayValue, false, kPrefixNone, ftMath },
        { "IF", frkParamValue, true, kPrefixNone, ftLogical },
        { "IFNA", frkParamValue, true, kPrefixXlfn, ftLogical },
        { "CHOOSE", frkParamValue, true, kPrefixNone, ftLookupAndReference },
        { "OFFSET", frkArray, false, kPrefixNone, ftLookupAndReference },
        { "MODE.MULT", frkArray, false, kPrefixXlfn, ftStatistical },
        { "COVARIANCE.P", frkNonArrayValue, false, kPrefixXlfn, ftStatistical },
        { "DAYS", frkValue, true, kPrefixXlfn, ftDateTime },
        { "CONCATENATE", frkNonArrayValue, true, kPrefixNone, ftText },
        { "COVAR", frkNonArrayValue, false, kPrefixNone, ftCompatibility },
        { "PMT", frkValue, true, kPrefixNone, ftFinancial },
        { "RRI", frkValue, true, kPrefixXlfn, ftFinancial },
        { "DSUM", frkValue, true, kPrefixNone, ftDatabase },
        { "BITAND", frkValue, true, kPrefixXlfn, ftEngineering },
    };
    for (const Case& c : cases) {
        const SpreadSheetFunctionInfo& info = entry(c.name);
        EXPECT_EQ(info.ResultKind(), c.resultKind) << c.name;
        EXPECT_EQ(info.AvailableInContainerControls(), c.availableInContainers) << c.name;
        EXPECT_EQ(info.PrefixID(), c.prefix) << c.name;
        EXPECT_EQ(info.GetPrefix(), c.prefix == kPrefixXlfn ? QStringLiteral("_xlfn.") : QString()) << c.name;
        EXPECT_EQ(info.TypeID(), c.type) << c.name;
    }
    // Functions registered by name only have no implementation; a category with one has some.
    EXPECT_FALSE(entry("DSUM").IsValid());
    EXPECT_TRUE(entry("SUM").IsValid());
    EXPECT_TRUE(registry().HasFunctions(ftMath));
    EXPECT_FALSE(registry().HasFunctions(ftDatabase));
}

TEST(SpreadSheetFunctions, NameResourceKeys)
{
    const std::pair<const char*, const char*> cases[] = {
        { "SUMIF", "sfnSumIf" },
        { "VLOOKUP", "sfnVLookup" },
        { "BETA.DIST", "sfnBeta_Dist" },
        { "BETADIST", "sfnBetaDist" },
        { "T.DIST.2T", "sfnT_Dist_2T" },
    };
    for (const auto& [name, key] : cases) {
        const auto resource = entry(name).NamePtr();
        ASSERT_TRUE(resource) << name;
        EXPECT_STREQ(resource->key, key);
        EXPECT_STREQ(resource->defaultText, name);
        EXPECT_EQ(std::string(entry(name).DescriptionPtr()->key), std::string(key) + "Description");
    }
}

TEST(SpreadSheetFunctions, TranslationChangedRenamesFunctions)
{
    SpreadSheetFunctionsRepository repository;
    repository.RegisterBuiltInFunctions();
    const SpreadSheetFormatSettings settings;
    ASSERT_TRUE(Localizer::Activate(QStringLiteral("[1049]\nsfnSum=\"Сумм\"\nsfnParamValue=\"знач\"\n"), kLocaleRussian));
    repository.TranslationChanged(settings);
    const SpreadSheetFunctionInfo* renamed = repository.GetInfoByName(u"сУММ");
    ASSERT_NE(renamed, nullptr);
    EXPECT_EQ(renamed->Name(), QStringLiteral("СУММ"));
    EXPECT_EQ(renamed->ToString(), QStringLiteral("СУММ(знач1, ...)"));
    EXPECT_EQ(repository.GetInfoByName(u"SUM"), nullptr);
    EXPECT_NE(repository.GetInfoByName(u"SUMIF"), nullptr); // untranslated names stay
    EXPECT_EQ(repository.GetInfoByName(u"_xlfn.СУММ"), renamed);

    Localizer::Reset();
    repository.TranslationChanged(settings);
    EXPECT_EQ(repository.GetInfoByName(u"СУММ"), nullptr);
    ASSERT_NE(repository.GetInfoByName(u"SUM"), nullptr);
    EXPECT_EQ(repository.GetInfoByName(u"SUM")->ToString(), QStringLiteral("SUM(value1, ...)"));
}

TEST(SpreadSheetFunctions, ShippedTranslationKeepsFunctionNamesAndTranslatesCategories)
{
    SpreadSheetFunctionsRepository repository;
    repository.RegisterBuiltInFunctions();
    ASSERT_TRUE(Localizer::ActivateShipped(kLocaleRussian));
    repository.TranslationChanged(SpreadSheetFormatSettings());
    EXPECT_EQ(repository.Count(), 457);
    ASSERT_NE(repository.GetInfoByName(u"sumif"), nullptr);
    EXPECT_EQ(repository.GetInfoByName(u"sumif")->ToString(), QStringLiteral("SUMIF(массив1, значение2, [массив3])"));
    for (int type = 0; type < kFunctionTypeCount; ++type) {
        const ResourceString& category = FunctionTypeResource(static_cast<SpreadSheetFunctionType>(type));
        EXPECT_NE(category.Text(), QString::fromUtf8(category.defaultText)) << category.key;
    }
    Localizer::Reset();
    EXPECT_EQ(FunctionTypeResource(ftMath).Text(), QStringLiteral("Math & Trig"));
    EXPECT_EQ(FunctionTypeResource(ftLookupAndReference).Text(), QStringLiteral("Lookup & Reference"));
}

TEST(SpreadSheetFunctions, AddRedefinesByNameAndKeepsTheXlsNumber)
{
    SpreadSheetFunctionsRepository repository;
    repository.RegisterBuiltInFunctions();
    static constexpr ResourceString name{ "sfnSum", "SUM" };
    static constexpr ResourceString description{ "sfnSumDescription", "Adds its arguments." };
    SpreadSheetFunctionInfo& info = repository.Add(name, doNothing, true, kPrefixNone, description, ftMath, 999,
        frkNonArrayValue, std::vector { fpkUnlimited });
    EXPECT_EQ(&info, repository.GetInfoByName(u"SUM"));
    EXPECT_EQ(info.Token(), 4);
    EXPECT_TRUE(info.IsValid());
    EXPECT_EQ(info.DescriptionPtr()->Text(), QStringLiteral("Adds its arguments."));
    EXPECT_EQ(repository.Count(), 457);
    EXPECT_TRUE(repository.HasFunctions(ftMath));
    EXPECT_FALSE(repository.HasFunctions(ftText));

    static constexpr ResourceString newName{ "sfnMyNew", "MYNEW" };
    SpreadSheetFunctionInfo& added = repository.Add(newName, nullptr, true, kPrefixXlfn, description, ftCommon, 255,
        frkValue, std::nullopt);
    EXPECT_EQ(repository.Count(), 458);
    EXPECT_EQ(repository.GetInfoByName(u"_xlfn.mynew"), &added);
    EXPECT_EQ(added.ToString(), QStringLiteral("MYNEW(?)"));
}

TEST(SpreadSheetFunctions, UnknownNamesAreRegisteredWithoutImplementation)
{
    SpreadSheetFunctionsRepository repository;
    repository.RegisterBuiltInFunctions();
    SpreadSheetFunctionInfo& unknown = repository.AddUnknown(QStringLiteral("MYADDIN"), ftCommon);
    EXPECT_EQ(repository.GetInfoByName(u"myAddIn"), &unknown);
    EXPECT_FALSE(unknown.IsValid());
    EXPECT_FALSE(unknown.NamePtr());
    EXPECT_FALSE(unknown.ParamInfo());
    EXPECT_EQ(unknown.ToString(), QStringLiteral("MYADDIN(?)"));
    EXPECT_EQ(unknown.Token(), kNoXlsFunctionToken);
    // Unknown names keep their spelling when the language changes.
    repository.TranslationChanged(SpreadSheetFormatSettings());
    EXPECT_EQ(repository.GetInfoByName(u"MYADDIN"), &unknown);

    repository.Remove(QStringLiteral("myaddin"));
    EXPECT_EQ(repository.GetInfoByName(u"MYADDIN"), nullptr);
    EXPECT_EQ(repository.Count(), 457);
}

} // namespace
} // namespace quorvel
