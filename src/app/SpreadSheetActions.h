#pragma once

#include "resources/ResourceString.h"

#include <QHash>
#include <QString>

#include <vector>

class QAction;
class QObject;

namespace quorvel {

/// A ribbon command: its name, its localizable caption and its shortcut.
struct SpreadSheetActionInfo {
    const char* name; // "SpreadSheetUndo"
    ResourceString caption;
    const char* shortcut; // portable text, "Ctrl+Z"; empty when none
};

/// Every command of the ribbon, the quick access toolbar and the backstage view.
const std::vector<SpreadSheetActionInfo>& SpreadSheetActionInfos();

/// The window's command objects by name. Commands whose behaviour does not exist yet are created
/// disabled, so the ribbon already shows its whole layout.
class SpreadSheetActionList {
public:
    explicit SpreadSheetActionList(QObject* owner);

    /// The command of that name; a name that is not in the table is a programming error.
    QAction* Action(const QString& name) const;
    /// Sets the captions from the active translation (after the localizer changes).
    void Retranslate();

private:
    QHash<QString, QAction*> actions_;
};

} // namespace quorvel
