#include "platform/Commands.h"
#include "platform/Strings.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <gtest/gtest.h>

namespace {

// Each area keeps its strings in a file of its own; an id given twice would silently lose one text.
TEST(StringTable, NoIdIsGivenTwice)
{
    QDir folder(QString(BRENNIX_RES_DIR) + "/strings");
    QHash<unsigned, QString> seen;
    for (const QString& name : folder.entryList(QDir::Files)) {
        QFile f(folder.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        for (const QString& line : QString::fromUtf8(f.readAll()).split('\n')) {
            if (line.isEmpty() || line.startsWith('#')) continue;
            bool ok = false;
            unsigned id = line.section('\t', 0, 0).toUInt(&ok);
            if (!ok) continue;
            EXPECT_FALSE(seen.contains(id))
                << id << " in " << name.toStdString() << " and " << seen.value(id).toStdString();
            seen.insert(id, name);
        }
    }
    EXPECT_GT(seen.size(), 300);
}

// Every item of the menu has its status-bar prompt.
TEST(StringTable, EveryMenuCommandHasAPrompt)
{
    QFile menu(QString(BRENNIX_RES_DIR) + "/menus/menubar.txt");
    ASSERT_TRUE(menu.open(QIODevice::ReadOnly));
    for (const QString& raw : QString::fromUtf8(menu.readAll()).split('\n')) {
        QString line = raw.trimmed();
        bool ok = false;
        unsigned id = line.section('\t', 0, 0).toUInt(&ok);
        if (!ok) continue;
        EXPECT_FALSE(MenuBuilder::Prompt(id).isEmpty()) << id;
    }
}

} // namespace
