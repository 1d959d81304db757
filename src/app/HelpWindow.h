#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QTextBrowser;

// The built-in guide: the Chinese HTML kept in the program's resources, with
// a contents list of its chapters and a search box.
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Scrolls the chapter with this heading to the top of the page.
    void showChapter(int index);
    // Selects the next place the text occurs, from the selection on and
    // wrapping at the end; says so below the box when there is none.
    bool findNext(const QString& text);

private:
    void fillContents();

    QListWidget* m_contents;
    QTextBrowser* m_browser;
    QLineEdit* m_search;
    QLabel* m_searchResult;
};
