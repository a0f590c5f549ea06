#include "app/AppSettings.h"

#include <QDir>
#include <QStandardPaths>

namespace quorvel {

QString ConfigFolder()
{
    QString base = qEnvironmentVariable("LOCALAPPDATA");
    if (base.isEmpty())
        base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString folder = QDir(base).filePath(QStringLiteral("Larkmere"));
    QDir().mkpath(folder);
    return folder;
}

AboutLinkTarget ClassifyAboutLink(const QUrl& url)
{
    return url.toString().indexOf(QStringLiteral("updates")) >= 1 ? AboutLinkTarget::UpdateCheck
                                                                    : AboutLinkTarget::ExternalBrowser;
}

QString AboutPageHtml()
{
    return QStringLiteral(R"(<!DOCTYPE html>
<html><head><meta charset="utf-8"><style>
body { font-family: sans-serif; }
.logo { font-size: 40px; font-weight: bold; color: #217346; }
p { text-align: justify; }
</style></head><body>
<table width="100%" height="100%"><tr><td align="center" valign="middle">
<table width="50%"><tr><td>
<p align="center" class="logo">&#9638; Quorvel</p>
<p>Quorvel — редактор электронных таблиц. Он открывает файлы ODS, XLS и XLSX, работает с несколькими
листами в одной книге, вычисляет формулы, готовит листы к печати, печатает их и сохраняет в PDF.</p>
<p>Программа распространяется бесплатно для личного и коммерческого использования. Она
предоставляется «как есть», без каких-либо гарантий.</p>
<p><a href="https://larkmere.example/" target="_blank">Сайт разработчика</a><br>
<a href="https://larkmere.example/quorvel/" target="_blank">Страница программы</a><br>
<a href="https://larkmere.example/quorvel/updates" target="_blank">&#8635; Проверить наличие обновлений</a></p>
</td></tr></table>
</td></tr></table>
</body></html>)");
}

} // namespace quorvel
