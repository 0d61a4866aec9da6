// Line-by-line writer of the link XML file.
//
// Every element operation turns into exactly one line of the file: a level's
// worth of TAB characters, the tag (or start tag, escaped text and end tag)
// and CR LF. Bytes go to the file exactly as given (code page 932, no byte
// order mark, no conversion). A write that the file object reports as failed
// closes the file and yields 0; the writer keeps the closed file, so every
// later write fails too and adds nothing, until Close forgets the file.
#pragma once

#include "mfc/Afx.h"

#include <string>

class CXmlWriter {
public:
    // Room of the line buffer every caller passes at least, terminator included;
    // the element operations never store more than this in the caller's buffer.
    static constexpr int kLineBufferSize = 256;
    static constexpr int kEscapeBufferSize = 256;

    CXmlWriter();
    ~CXmlWriter();
    CXmlWriter(const CXmlWriter&) = delete;
    CXmlWriter& operator=(const CXmlWriter&) = delete;

    // Opens `pFile` on `path` for writing (created or truncated, write only,
    // not shared). 0 when the file was created, -1 otherwise; with either
    // argument null nothing is stored. The file object stays the caller's.
    short Open(CFile* pFile, LPCSTR path);
    // Closes the held file object, if any, and forgets it. Always 0.
    short Close();

    // Writes the bytes of `text` (without its terminator). 1 on success, 0 on
    // failure; an empty text writes nothing and succeeds.
    int WriteLine(LPCSTR text);

    // TABs, "<name attributes>", CR LF.
    int WriteStartElement(LPSTR line, LPCSTR name, int level, LPCSTR attr1Name = nullptr,
                          LPCSTR attr1Value = nullptr, LPCSTR attr2Name = nullptr, LPCSTR attr2Value = nullptr);
    // TABs, "<name attributes>", escaped text, "</name>", CR LF.
    int WriteElement(LPSTR line, LPCSTR name, LPCSTR text, int level, LPCSTR attr1Name = nullptr,
                     LPCSTR attr1Value = nullptr, LPCSTR attr2Name = nullptr, LPCSTR attr2Value = nullptr);
    // TABs, "</name>", CR LF.
    int WriteEndElement(LPSTR line, LPCSTR name, int level);

    // The text with & > < " ' replaced by their entities, byte by byte (the
    // second byte of a double-byte character is never one of these). The
    // result lives in one buffer shared by all writers, valid until the next
    // call.
    static LPCSTR Escape(LPCSTR text);

    // True once a write failed since Open: the file then ends where that
    // write failed, whatever was asked of the writer afterwards.
    bool HasFailed() const { return m_bFailed; }

private:
    static void AppendAttributes(std::string& line, LPCSTR attr1Name, LPCSTR attr1Value, LPCSTR attr2Name,
                                 LPCSTR attr2Value);
    int Emit(LPSTR line, const std::string& built);

    CFile* m_pFile;      // not owned
    CString m_strPath;
    bool m_bFailed;
};
