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

    // Opens the guide over the window (one guide per window, so a modal window
    // does not block it) at the chapter about that window's class.
    static HelpWindow* showFor(QWidget* window);
    // The heading of the chapter about a command window's class; empty for none.
    static QString chapterFor(const QString& windowClass);

    // Scrolls the chapter with this heading to the top of the page.
    void showChapter(int index);
    // The chapter with this heading; the first when no chapter has it.
    void showChapterNamed(const QString& heading);
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
