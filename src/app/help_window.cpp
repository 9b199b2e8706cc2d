#include "app/help_window.h"

#include <QFile>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "widgets/look.h"

namespace sorelka {

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Sorelka 使い方"));
    resize(760, 640);
    auto* layout = new QVBoxLayout(this);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    browser_->setFont(SchoolFont(17));
    browser_->setOpenExternalLinks(false);
    layout->addWidget(browser_);
}

bool HelpWindow::ShowFile(const QString& path) {
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        browser_->setSearchPaths({QFileInfo(path).absolutePath()});
        browser_->setHtml(QString::fromUtf8(file.readAll()));
    } else {
        browser_->setHtml(
            QStringLiteral("<h2>使い方のファイルが見つかりません</h2>"
                           "<p>ファイル「%1」を開けませんでした。</p>"
                           "<p>プログラムをもう一度インストールしてください。</p>")
                .arg(path.toHtmlEscaped()));
    }
    show();
    raise();
    activateWindow();
    return file.isOpen();
}

}  // namespace sorelka
