#include "ReportTestSupport.h"

#include <cstring>
#include <sys/stat.h>

namespace {

using namespace reporttest;

using XmlWriterTest = HostDirTest;

}  // namespace

TEST_F(XmlWriterTest, LineFormsLevelsAndCrLf)
{
    fs::path out = Host("out.xml");
    CFile file;
    {
        CXmlWriter w;
        ASSERT_EQ(w.Open(&file, Win(out).c_str()), 0);
        EXPECT_TRUE(file.IsOpen());
        char line[512] = {};
        EXPECT_EQ(w.WriteLine("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"), 1);
        EXPECT_EQ(w.WriteStartElement(line, "REPORT", 0), 1);
        EXPECT_STREQ(line, "<REPORT>\r\n");
        EXPECT_EQ(w.WriteStartElement(line, "SYSTEM", 1), 1);
        EXPECT_EQ(w.WriteElement(line, "VERSION", "", 2), 1);
        EXPECT_STREQ(line, "\t\t<VERSION></VERSION>\r\n");
        EXPECT_EQ(w.WriteElement(line, "GYOUMUPREFIX", "SY35", 2), 1);
        EXPECT_EQ(w.WriteEndElement(line, "SYSTEM", 1), 1);
        EXPECT_EQ(w.WriteElement(line, "V", "1", 3), 1);
        EXPECT_STREQ(line, "\t\t\t<V>1</V>\r\n");
        EXPECT_EQ(w.WriteElement(line, "N", "x", -2), 1);   // a negative level gives no TAB
        EXPECT_EQ(w.WriteLine(""), 1);                       // nothing written
        EXPECT_EQ(w.WriteEndElement(line, "REPORT", 0), 1);
        EXPECT_EQ(w.Close(), 0);
        EXPECT_EQ(w.WriteLine("after"), 0);   // the file object is forgotten
        EXPECT_EQ(w.Close(), 0);   // closing again does nothing
    }
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(ReadAll(out),
              "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
              "<REPORT>\r\n"
              "\t<SYSTEM>\r\n"
              "\t\t<VERSION></VERSION>\r\n"
              "\t\t<GYOUMUPREFIX>SY35</GYOUMUPREFIX>\r\n"
              "\t</SYSTEM>\r\n"
              "\t\t\t<V>1</V>\r\n"
              "<N>x</N>\r\n"
              "</REPORT>\r\n");
}

TEST_F(XmlWriterTest, OpenTruncatesAndDestructorCloses)
{
    fs::path out = Host("old.xml");
    { std::ofstream(out, std::ios::binary) << "previous content that is longer"; }
    CFile file;
    {
        CXmlWriter w;
        ASSERT_EQ(w.Open(&file, Win(out).c_str()), 0);
        char line[256];
        EXPECT_EQ(w.WriteEndElement(line, "DATA", 1), 1);
    }
    EXPECT_FALSE(file.IsOpen());   // the writer closed it; the object is still the caller's
    EXPECT_EQ(ReadAll(out), "\t</DATA>\r\n");
}

TEST(XmlWriterEscape, FiveEntitiesAndEverythingElseUntouched)
{
    EXPECT_STREQ(CXmlWriter::Escape("a&b>c<d\"e'f"), "a&amp;b&gt;c&lt;d&quot;e&apos;f");
    EXPECT_STREQ(CXmlWriter::Escape(""), "");
    EXPECT_STREQ(CXmlWriter::Escape("&&"), "&amp;&amp;");
    // Control characters and other symbols pass.
    EXPECT_STREQ(CXmlWriter::Escape("\t\x01;=/\\|"), "\t\x01;=/\\|");
    // Double-byte characters whose second byte is 0x5C or 0x7C (ソ, 表, ポ), and
    // half-width katakana, byte for byte.
    EXPECT_STREQ(CXmlWriter::Escape("\x83\x5C\x95\x5C\x83\x7C\xB1"), "\x83\x5C\x95\x5C\x83\x7C\xB1");
    EXPECT_STREQ(CXmlWriter::Escape("ソ表<株>"), "ソ表&lt;株&gt;");
    // One shared buffer: the next call overwrites the last result.
    LPCSTR first = CXmlWriter::Escape("x");
    LPCSTR second = CXmlWriter::Escape("y");
    EXPECT_EQ(first, second);
    EXPECT_STREQ(second, "y");
}

TEST(XmlWriterEscape, LongTextIsEscapedWhole)
{
    std::string text(300, '&');
    std::string expected;
    for (int i = 0; i < 300; ++i) expected += "&amp;";
    EXPECT_EQ(std::string(CXmlWriter::Escape(text.c_str())), expected);
}

TEST_F(XmlWriterTest, ElementTextIsEscapedNamesAreNot)
{
    fs::path out = Host("esc.xml");
    CFile file;
    CXmlWriter w;
    ASSERT_EQ(w.Open(&file, Win(out).c_str()), 0);
    char line[256];
    EXPECT_EQ(w.WriteElement(line, "KOMONSAKINAME", "Ａ&Ｂ'ソ\"表", 2), 1);
    w.Close();
    EXPECT_EQ(ReadAll(out), "\t\t<KOMONSAKINAME>Ａ&amp;Ｂ&apos;ソ&quot;表</KOMONSAKINAME>\r\n");
}

TEST_F(XmlWriterTest, Attributes)
{
    fs::path out = Host("attr.xml");
    CFile file;
    CXmlWriter w;
    ASSERT_EQ(w.Open(&file, Win(out).c_str()), 0);
    char line[256];
    EXPECT_EQ(w.WriteStartElement(line, "A", 1, "id", "1"), 1);
    EXPECT_EQ(w.WriteStartElement(line, "B", 1, "id", "a<b", "k", "\"q\""), 1);
    EXPECT_EQ(w.WriteElement(line, "C", "t&", 2, "x", "y'", "z", "w"), 1);
    // An attribute needs both name and value; the second only after the first.
    EXPECT_EQ(w.WriteStartElement(line, "D", 0, "id", nullptr, "k", "v"), 1);
    EXPECT_EQ(w.WriteStartElement(line, "E", 0, nullptr, "v", "k", "v"), 1);
    EXPECT_EQ(w.WriteElement(line, "F", "", 0, "a", "b", "k", nullptr), 1);
    w.Close();
    EXPECT_EQ(ReadAll(out),
              "\t<A id=\"1\">\r\n"
              "\t<B id=\"a&lt;b\" k=\"&quot;q&quot;\">\r\n"
              "\t\t<C x=\"y&apos;\" z=\"w\">t&amp;</C>\r\n"
              "<D>\r\n"
              "<E>\r\n"
              "<F a=\"b\"></F>\r\n");
}

TEST_F(XmlWriterTest, OverlongLineGoesWholeToTheFileNotPastTheBuffer)
{
    fs::path out = Host("long.xml");
    CFile file;
    CXmlWriter w;
    ASSERT_EQ(w.Open(&file, Win(out).c_str()), 0);
    struct {
        char line[256];
        char guard[32];
    } buf;
    std::memset(&buf, 'G', sizeof buf);
    std::string text(400, 'x');
    EXPECT_EQ(w.WriteElement(buf.line, "LONG", text.c_str(), 3), 1);
    w.Close();
    std::string expected = "\t\t\t<LONG>" + text + "</LONG>\r\n";
    EXPECT_EQ(ReadAll(out), expected);
    EXPECT_EQ(std::string(buf.line), expected.substr(0, 255));
    EXPECT_EQ(std::string(buf.guard, sizeof buf.guard), std::string(32, 'G'));
}

TEST_F(XmlWriterTest, OpenRefusalsAndWritesWithoutAFile)
{
    CFile file;
    CXmlWriter w;
    EXPECT_EQ(w.Open(&file, nullptr), -1);
    EXPECT_EQ(w.WriteLine("x"), 0);   // no file object was kept
    EXPECT_EQ(w.Open(nullptr, Win(Host("n.xml")).c_str()), -1);
    EXPECT_FALSE(fs::exists(Host("n.xml")));
    char line[256];
    EXPECT_EQ(w.WriteStartElement(line, "REPORT", 0), 0);
    EXPECT_EQ(w.WriteLine("x"), 0);
    EXPECT_EQ(w.Close(), 0);

    // A file that cannot be created: -1, and every write fails.
    CXmlWriter w2;
    EXPECT_EQ(w2.Open(&file, Win(Host("missing\\folder\\x.xml")).c_str()), -1);
    EXPECT_EQ(w2.WriteLine("<?xml?>\r\n"), 0);
    EXPECT_EQ(w2.WriteElement(line, "A", "b", 1), 0);
    EXPECT_EQ(w2.Close(), 0);
}

// The host's file-size limit stands in for a disk that is full from the
// first byte.
TEST_F(XmlWriterTest, FullDiskFailsTheWriteAndEveryLaterOne)
{
    const fs::path out = Host("full.xml");
    CFile file;
    CXmlWriter w;
    ASSERT_EQ(w.Open(&file, Win(out).c_str()), 0);
    FileSizeLimit full(0);
    char line[256];
    EXPECT_EQ(w.WriteLine("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"), 0);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(w.WriteStartElement(line, "REPORT", 0), 0);
    EXPECT_EQ(w.WriteElement(line, "VERSION", "1", 2), 0);
    EXPECT_EQ(w.WriteEndElement(line, "REPORT", 0), 0);
    EXPECT_EQ(w.Close(), 0);
    EXPECT_EQ(ReadAll(out), "");
}

// A FIFO or a device at the path is a file that cannot be created: -1, and
// every write fails at once, without waiting for a reader.
TEST_F(XmlWriterTest, FifoOrDeviceIsAFileThatCannotBeCreated)
{
    const fs::path fifo = Host("fifo.xml");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    for (const std::string& path : {Win(fifo), std::string("Z:\\dev\\null")}) {
        SCOPED_TRACE(path);
        CFile file;
        CXmlWriter w;
        EXPECT_EQ(w.Open(&file, path.c_str()), -1);
        EXPECT_FALSE(file.IsOpen());
        char line[256];
        EXPECT_EQ(w.WriteStartElement(line, "REPORT", 0), 0);
        EXPECT_EQ(w.Close(), 0);
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
}

TEST_F(XmlWriterTest, DiskFillingHalfWayKeepsWhatWasWritten)
{
    fs::path out = Host("half.xml");
    FillingFile file(30);
    CXmlWriter w;
    ASSERT_EQ(w.Open(&file, Win(out).c_str()), 0);
    char line[256];
    EXPECT_EQ(w.WriteStartElement(line, "REPORT", 0), 1);           // 10 bytes
    EXPECT_EQ(w.WriteStartElement(line, "SYSTEM", 1), 1);           // 11 bytes
    EXPECT_EQ(w.WriteElement(line, "VERSION", "1", 2), 0);          // fills the disk
    EXPECT_FALSE(file.IsOpen());
    // The writer has failed from now on; nothing more reaches the file.
    EXPECT_EQ(w.WriteEndElement(line, "SYSTEM", 1), 0);
    EXPECT_EQ(w.WriteLine("x"), 0);
    w.Close();
    EXPECT_EQ(ReadAll(out), std::string("<REPORT>\r\n\t<SYSTEM>\r\n\t\t<VERSIO"));
}

TEST_F(XmlWriterTest, FileClosedUnderneathFailsTheWrite)
{
    fs::path out = Host("closed.xml");
    CFile file;
    CXmlWriter w;
    ASSERT_EQ(w.Open(&file, Win(out).c_str()), 0);
    char line[256];
    EXPECT_EQ(w.WriteStartElement(line, "REPORT", 0), 1);
    file.Close();
    EXPECT_EQ(w.WriteEndElement(line, "REPORT", 0), 0);
    EXPECT_EQ(ReadAll(out), "<REPORT>\r\n");
}
