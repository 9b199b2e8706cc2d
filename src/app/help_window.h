#pragma once

#include <QDialog>

class QTextBrowser;

namespace sorelka {

// The help window: shows the HTML help file beside the executable, or a clear
// message when the file cannot be read.
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent);
    // Loads the file and reports whether it could be read.
    bool ShowFile(const QString& path);
    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_;
};

}  // namespace sorelka
