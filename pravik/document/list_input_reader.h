#pragma once

#include <QString>

namespace pravik::document {

// Reads a text the way the display file's records are read: whole lines for
// the settings part, then fields in list-input form. A field may be quoted
// ("...", taken without the quotes, running to the next quote) or bare
// (running to the next comma or line end, trailing blanks dropped); leading
// blanks are skipped and a comma or a line end separates fields, so a record
// may stand on one line or on nine. CR LF, CR and LF all end a line.
class ListInputReader
{
public:
    explicit ListInputReader(QString text) : m_text(std::move(text)) {}

    bool atEnd() const { return m_pos >= m_text.size(); }

    // The next line without its line end; false at the end of the text.
    bool readLine(QString &line);

    // The next field; an empty text at the end.
    QString readField();

private:
    bool atLineEnd() const;
    void skipLineEnd();
    void skipToNextField();

    QString m_text;
    qsizetype m_pos = 0;
};

} // namespace pravik::document
