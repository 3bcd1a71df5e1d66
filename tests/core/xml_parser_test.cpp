#include "chipdb/Xmlparser.h"
#include "support/RecordingUi.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sstream>

namespace {

struct Parsed {
    RecordingUi ui;
    XMLFile xml;
    explicit Parsed(const char* content) : xml(ui, QByteArray(content)) {}
};

const QString kClosingA = QStringLiteral("Closing tag not found! Opening tag '<A>' found, but not closing '</A>'.");

TEST(XmlValues, IndexRulePicksTheNthElementOfANameOrTheFirst)
{
    Parsed p("<A><B>1</B><C>x</C><B>2</B></A>");
    EXPECT_EQ(p.xml.getValue("A\\B"), "1");
    EXPECT_EQ(p.xml.getValue("A\\B", 1), "2");
    EXPECT_EQ(p.xml.getValue("A\\B", 2), "1");
    EXPECT_EQ(p.xml.getValue("A\\C", 1), "x");
    const XMLTree& a = static_cast<const XMLTree&>(*p.xml.root().child("A"));
    EXPECT_EQ(a.children().size(), 3u);
    EXPECT_EQ(static_cast<const XMLNode*>(a.child("B", 1))->value(), "2");
    EXPECT_EQ(a.child("B", 2), nullptr);
    EXPECT_TRUE(a.hasChild("C"));
    EXPECT_FALSE(a.hasChild("D"));
    EXPECT_TRUE(p.ui.errors().isEmpty());
}

TEST(XmlValues, WhiteSpaceShrinksToSingleBlanksAndValuesAreNotTrimmed)
{
    Parsed p("<R>\n<A>\n  5\n</A><B>one\n     two  \t\v\f\r three</B>\n<C></C><D/><E x=\"1\" y='2' /><F k=\"v\">t</F ></R>");
    EXPECT_EQ(p.xml.getValue("R\\A"), " 5 ");
    EXPECT_EQ(p.xml.getValue("R\\B"), "one two three");
    for (const char* empty : {"R\\C", "R\\D", "R\\E"}) {
        EXPECT_TRUE(p.xml.hasPath(empty)) << empty;
        EXPECT_EQ(p.xml.getValue(empty), "") << empty;
        EXPECT_FALSE(p.xml.root().child("R") == nullptr);
    }
    EXPECT_EQ(p.xml.getValue("R\\F"), "t");
    EXPECT_TRUE(p.ui.errors().isEmpty()) << p.ui.errors().join('\n').toStdString();
}

TEST(XmlValues, CommentsGoBeforeParsingAndEntitiesStayAsWritten)
{
    Parsed p("<A>1<!-- a\n comment -->2</A><B>a &amp; b</B><!----><C>3</C>");
    EXPECT_EQ(p.xml.getValue("A"), "12");
    EXPECT_EQ(p.xml.getValue("B"), "a &amp; b");
    EXPECT_EQ(p.xml.getValue("C"), "3");
    EXPECT_TRUE(p.ui.errors().isEmpty());
}

TEST(XmlValues, MixedContentMakesATreeAndLosesTheText)
{
    Parsed p("<A>x<B>1</B>y</A>");
    EXPECT_TRUE(p.xml.root().child("A")->isTree());
    EXPECT_EQ(p.xml.getValue("A\\B"), "1");
    EXPECT_TRUE(p.ui.errors().isEmpty());
    EXPECT_EQ(p.xml.getValue("A"), "");
    EXPECT_EQ(p.ui.errors(), QStringList{QStringLiteral("Node 'A' is not an element!")});
}

TEST(XmlPaths, NamesAreCaseSensitiveAndPathsWalkTreesOnly)
{
    Parsed p("<ZFPART><FUSE0><NAME>LOW</NAME></FUSE0><N>1</N></ZFPART>");
    EXPECT_TRUE(p.xml.hasPath("ZFPART"));
    EXPECT_TRUE(p.xml.hasPath("ZFPART\\FUSE0\\NAME"));
    EXPECT_TRUE(p.xml.hasPath("ZFPART\\N"));
    EXPECT_FALSE(p.xml.hasPath("zfpart"));
    EXPECT_FALSE(p.xml.hasPath("ZFPART\\N\\X"));
    EXPECT_FALSE(p.xml.hasPath("ZFPART\\FUSE1"));
    EXPECT_FALSE(p.xml.hasPath("root\\ZFPART"));
    EXPECT_FALSE(p.xml.hasPath(""));
    EXPECT_FALSE(p.xml.hasPath("ZFPART\\"));
    EXPECT_TRUE(p.ui.errors().isEmpty()) << "hasPath shows nothing";

    EXPECT_EQ(p.xml.getValue("ZFPART\\FUSE0\\NAME"), "LOW");
    EXPECT_EQ(p.xml.getValue("zfpart\\FUSE0"), "");
    EXPECT_EQ(p.xml.getValue("ZFPART\\N\\X"), "");
    EXPECT_EQ(p.xml.getValue("ZFPART\\FUSE0"), "");
    EXPECT_EQ(p.ui.errors(), (QStringList{QStringLiteral("Node 'zfpart' not found!"),
                                          QStringLiteral("Illegal path: (ZFPART\\N\\X)!"),
                                          QStringLiteral("Node 'FUSE0' is not an element!")}));
}

TEST(XmlFaults, DeclarationSwallowsTheDocument)
{
    Parsed p("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ZFPART><X>1</X></ZFPART>\n");
    const QString closing = QStringLiteral("Closing tag not found! Opening tag '<?xml>' found, but not closing '</?xml>'.");
    EXPECT_EQ(p.ui.errors(), (QStringList{closing, closing}));
    EXPECT_FALSE(p.xml.hasPath("ZFPART"));
    EXPECT_EQ(p.xml.getValue("?xml\\ZFPART\\X"), "1");
}

TEST(XmlFaults, EveryProblemIsReportedAndReadingGoesOn)
{
    {
        Parsed p("<A>1</A><!-- open <B>2</B>");
        EXPECT_EQ(p.ui.errors(), QStringList{QStringLiteral(
                                     "Unclosed comment tag encountered! Comment start-tag '<!--' found, but no closing '-->'.")});
        EXPECT_EQ(p.xml.getValue("A"), "1");
        EXPECT_FALSE(p.xml.hasPath("B"));
    }
    {
        Parsed p("<A>1</A><B");
        EXPECT_EQ(p.ui.errors(),
                  QStringList{QStringLiteral("Unclosed tag encountered! Tag start token '<' found, but no closing '>'.")});
        EXPECT_EQ(p.xml.getValue("A"), "1");
    }
    {
        Parsed p("<><A>1</A>");
        EXPECT_EQ(p.ui.errors(), QStringList{QStringLiteral("Unnamed tag encountered! No text between '<' and '>'.")});
        EXPECT_EQ(p.xml.getValue("A"), "1");
    }
    {
        // The end tag is looked for again after the children: two messages.
        Parsed p("<A><B>1</B>");
        EXPECT_EQ(p.ui.errors(), (QStringList{kClosingA, kClosingA}));
        EXPECT_EQ(p.xml.getValue("A\\B"), "1");
    }
    {
        Parsed p("<A>1 < 2</A><C>3</C>");
        EXPECT_FALSE(p.ui.errors().isEmpty());
        EXPECT_TRUE(p.xml.root().child("A")->isTree()) << "a less-than sign starts a tag";
        EXPECT_EQ(p.xml.getValue("A\\2</A\\C"), "3") << "and what follows ends up inside it";
    }
}

TEST(XmlFaults, MissingFileGivesOneMessageAndAnEmptyTree)
{
    RecordingUi ui;
    const XMLFile xml(QStringLiteral("/nonexistent/dir/0.xml"), ui);
    EXPECT_EQ(ui.errors(), QStringList{QStringLiteral("Error opening XML file for input!")});
    EXPECT_TRUE(xml.root().children().empty());
    EXPECT_FALSE(xml.hasPath("ZFPART"));
}

TEST(XmlFaults, FileIsReadWholeIncludingALastWordWithoutLineBreak)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.xml"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<A>\r\n\t<B>x  y</B>\r\n</A>");
    f.close();
    RecordingUi ui;
    const XMLFile xml(path, ui);
    EXPECT_TRUE(ui.errors().isEmpty());
    EXPECT_EQ(xml.getValue("A\\B"), "x y");
}

TEST(XmlFaults, DeepNestingIsCutAtTheLimitWithOneMessage)
{
    auto nested = [](int depth, bool closed) {
        QByteArray text;
        for (int i = 0; i < depth; ++i)
            text += "<a>";
        text += "<v>1</v>";
        if (closed)
            for (int i = 0; i < depth; ++i)
                text += "</a>";
        return text;
    };
    auto pathOf = [](int steps) {
        std::string path = "a";
        for (int i = 1; i < steps; ++i)
            path += "\\a";
        return path;
    };
    {
        RecordingUi ui;
        const XMLFile xml(ui, nested(XMLFile::kMaxDepth - 1, true));
        EXPECT_TRUE(ui.errors().isEmpty());
        EXPECT_EQ(xml.getValue(pathOf(XMLFile::kMaxDepth - 1) + "\\v"), "1");
    }
    {
        RecordingUi ui;
        const XMLFile xml(ui, nested(XMLFile::kMaxDepth + 40, true) + "<after>2</after>");
        ASSERT_EQ(ui.errors().size(), 1);
        EXPECT_TRUE(ui.errors()[0].contains(QStringLiteral("256")));
        EXPECT_TRUE(xml.hasPath(pathOf(XMLFile::kMaxDepth)));
        EXPECT_FALSE(xml.hasPath(pathOf(XMLFile::kMaxDepth + 1)));
        EXPECT_EQ(xml.getValue("after"), "2") << "reading goes on after the skipped content";
    }
    {
        // Unclosed all the way down: bounded messages, no stack exhaustion.
        RecordingUi ui;
        const XMLFile xml(ui, nested(200000, false));
        EXPECT_TRUE(xml.hasPath(pathOf(XMLFile::kMaxDepth)));
        EXPECT_LE(ui.errors().size(), 2 * XMLFile::kMaxDepth + 2);
    }
}

TEST(XmlPrint, DumpsOneLinePerElement)
{
    Parsed p("<A><B>1</B><C/></A>");
    std::ostringstream out;
    p.xml.root().print(out);
    EXPECT_EQ(out.str(), "TREE[\"root\"]\n"
                         "  TREE[\"A\"]\n"
                         "    NODE[\"B\"] \"1\"\n"
                         "    NODE[\"C\"] \"\"\n"
                         "  :END[\"A\"]\n"
                         ":END[\"root\"]\n");
}

} // namespace
