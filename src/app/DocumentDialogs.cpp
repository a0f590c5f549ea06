#include "app/DocumentDialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace quorvel {

namespace {

PromptAnswer ask(QWidget* parent, const char* caption, const char* text)
{
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(caption), QString::fromUtf8(text),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return PromptAnswer::Yes;
    case QMessageBox::No:
        return PromptAnswer::No;
    default:
        return PromptAnswer::Cancel;
    }
}

void showError(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(kProgramCaption), text, QMessageBox::Ok, parent);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

} // namespace

PromptAnswer StandardDocumentDialogs::AskToSaveChanges(QWidget* parent)
{
    return ask(parent, kProgramCaption, kAskToSaveChangesText);
}

PromptAnswer StandardDocumentDialogs::AskToSaveOnClose(QWidget* parent)
{
    return ask(parent, kAskToSaveOnCloseCaption, kAskToSaveOnCloseText);
}

void StandardDocumentDialogs::ShowOpenError(QWidget* parent) { showError(parent, QString::fromUtf8(kOpenErrorText)); }

void StandardDocumentDialogs::ShowSaveError(QWidget* parent, const QString& reason)
{
    showError(parent, QString::fromUtf8(kSaveErrorText) + u'\n' + reason);
}

void StandardDocumentDialogs::ShowCircularReferenceWarning(QWidget* parent, const QString& message)
{
    QMessageBox box(QMessageBox::Warning, QString::fromUtf8(kProgramCaption), message, QMessageBox::Ok, parent);
    box.exec();
}

QString StandardDocumentDialogs::GetOpenFileName(QWidget* parent, const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
}

QString StandardDocumentDialogs::GetSaveFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().front();
}

QString ToQtFileFilter(const QString& registryFilter)
{
    const QStringList parts = registryFilter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        if (patterns.isEmpty())
            continue;
        QString description = parts[i];
        // The registry's descriptions already name their pattern: "Web Page (*.htm)".
        if (!description.endsWith(u')'))
            description += QStringLiteral(" (%1)").arg(patterns.join(u' '));
        else
            description = description.left(description.lastIndexOf(u'(')).trimmed()
                + QStringLiteral(" (%1)").arg(patterns.join(u' '));
        filters << description;
    }
    return filters.join(QStringLiteral(";;"));
}

} // namespace quorvel
