#pragma once

#include <QString>

class QWidget;

namespace quorvel {

enum class PromptAnswer { Yes, No, Cancel };

/// The questions and messages of the document commands. The window asks through this interface so
/// that tests can answer without a modal loop.
class DocumentDialogs {
public:
    virtual ~DocumentDialogs() = default;
    /// Before New and Open: "Документ изменен. Хотите сохранить документ?"
    virtual PromptAnswer AskToSaveChanges(QWidget* parent) = 0;
    /// At closing: "Вы хотите сохранить изменения в файле?"
    virtual PromptAnswer AskToSaveOnClose(QWidget* parent) = 0;
    /// A file that could not be opened.
    virtual void ShowOpenError(QWidget* parent) = 0;
    /// A save that failed, with its reason.
    virtual void ShowSaveError(QWidget* parent, const QString& reason) = 0;
    /// Formulas that have just become circular.
    virtual void ShowCircularReferenceWarning(QWidget* parent, const QString& message) = 0;
    /// The chosen file, or empty when cancelled. Filters are in Qt's "Desc (*.a *.b);;…" form.
    virtual QString GetOpenFileName(QWidget* parent, const QString& filter) = 0;
    virtual QString GetSaveFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix) = 0;
};

/// Message boxes and the system file dialogs.
class StandardDocumentDialogs final : public DocumentDialogs {
public:
    PromptAnswer AskToSaveChanges(QWidget* parent) override;
    PromptAnswer AskToSaveOnClose(QWidget* parent) override;
    void ShowOpenError(QWidget* parent) override;
    void ShowSaveError(QWidget* parent, const QString& reason) override;
    void ShowCircularReferenceWarning(QWidget* parent, const QString& message) override;
    QString GetOpenFileName(QWidget* parent, const QString& filter) override;
    QString GetSaveFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix) override;
};

/// A "Desc|*.a;*.b|Desc|*.c|" dialog filter of the format registry in the form Qt's dialogs take.
QString ToQtFileFilter(const QString& registryFilter);

inline constexpr const char* kAskToSaveChangesText = "Документ изменен. Хотите сохранить документ?";
inline constexpr const char* kAskToSaveOnCloseText = "Вы хотите сохранить изменения в файле?";
inline constexpr const char* kAskToSaveOnCloseCaption = "Завершение Quorvel";
inline constexpr const char* kOpenErrorText = "Файл не является документом Quorvel";
inline constexpr const char* kSaveErrorText = "Не удалось сохранить документ.";
inline constexpr const char* kProgramCaption = "Quorvel";

} // namespace quorvel
