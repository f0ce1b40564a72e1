#include "list_input_reader.h"

namespace pravik::document {
namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

} // namespace

bool ListInputReader::atLineEnd() const
{
    return !atEnd() && (m_text[m_pos] == u'\r' || m_text[m_pos] == u'\n');
}

void ListInputReader::skipLineEnd()
{
    if (atEnd())
        return;
    if (m_text[m_pos] == u'\r') {
        ++m_pos;
        if (!atEnd() && m_text[m_pos] == u'\n')
            ++m_pos;
    } else if (m_text[m_pos] == u'\n') {
        ++m_pos;
    }
}

bool ListInputReader::readLine(QString &line)
{
    if (atEnd())
        return false;
    const qsizetype start = m_pos;
    while (!atEnd() && !atLineEnd())
        ++m_pos;
    line = m_text.mid(start, m_pos - start);
    skipLineEnd();
    return true;
}

// After a field: drop what stands before the separator, then the separator.
void ListInputReader::skipToNextField()
{
    while (!atEnd() && m_text[m_pos] != u',' && !atLineEnd())
        ++m_pos;
    if (!atEnd() && m_text[m_pos] == u',')
        ++m_pos;
    else
        skipLineEnd();
}

QString ListInputReader::readField()
{
    while (!atEnd() && isBlank(m_text[m_pos]))
        ++m_pos;
    if (atEnd())
        return {};

    QString field;
    if (m_text[m_pos] == u'"') {
        const qsizetype start = m_pos + 1;
        qsizetype close = m_text.indexOf(u'"', start);
        if (close < 0)
            close = m_text.size();
        field = m_text.mid(start, close - start);
        m_pos = std::min(close + 1, m_text.size());
    } else {
        const qsizetype start = m_pos;
        while (!atEnd() && m_text[m_pos] != u',' && !atLineEnd())
            ++m_pos;
        field = m_text.mid(start, m_pos - start);
        while (!field.isEmpty() && isBlank(field.back()))
            field.chop(1);
    }
    skipToNextField();
    return field;
}

} // namespace pravik::document
