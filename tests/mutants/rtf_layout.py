"""Faults in the layout of rich text (indents, tab stops, the default tab
distance) and in Slatepad's question on closing. 3100 takes the place of a
fault of the older catalogue whose code text changed when paragraphs got more
properties than their alignment."""

M = {}

M["common/rtf/rtf_reader.cpp"] = [
    (3100, "last paragraph without \\par keeps none of its properties (alignment, indents, stops)",
     "    if (!m_breakPending)\n        m_cursor.setBlockFormat(blockFormat(m_lastParagraph));",
     "    if (!m_breakPending && !MUT(3100))\n        m_cursor.setBlockFormat(blockFormat(m_lastParagraph));"),
    (3101, "indents read at 72 dpi (20 twips to the pixel, not 15)",
     "        s.paragraph.leftIndent = twipsToPixels(word.parameter);",
     "        s.paragraph.leftIndent = MUT(3101) ? word.parameter / 20 : twipsToPixels(word.parameter);"),
    (3102, "first-line indent \\fi ignored",
     "        s.paragraph.firstLineIndent = twipsToPixels(word.parameter);",
     "        s.paragraph.firstLineIndent = MUT(3102) ? 0 : twipsToPixels(word.parameter);"),
    (3103, "\\pard resets the indents and alignment but keeps the tab stops",
     "        s.paragraph = ParagraphState{};",
     "        if (MUT(3103)) {\n            const std::vector<TabStop> kept = s.paragraph.tabs;\n"
     "            s.paragraph = ParagraphState{};\n            s.paragraph.tabs = kept;\n"
     "        } else {\n            s.paragraph = ParagraphState{};\n        }"),
    (3104, "default tab distance not applied (the toolkit's 80 pixels stay)",
     "    option.setTabStopDistance(defaultTabPixels());",
     "    if (!MUT(3104))\n        option.setTabStopDistance(defaultTabPixels());"),
]

M["common/rtf/rtf_tabs.cpp"] = [
    (3107, "stops measured from where the line starts, not from the page's left edge",
     "tabs.append(QTextOption::Tab(stop.position - lineStart, stop.type, delimiter));",
     "tabs.append(QTextOption::Tab(MUT(3107) ? stop.position : stop.position - lineStart, stop.type, delimiter));"),
]

M["common/rtf/rtf_writer.cpp"] = [
    (3105, "writer drops the right indent \\ri",
     "        {\"\\\\ri\", format.rightMargin()},",
     "        {\"\\\\ri\", MUT(3105) ? 0.0 : format.rightMargin()},"),
]

M["slatepad/slatepad_window.cpp"] = [
    (3106, "a new page counts as changed (the margin's edit is left in its history)",
     "    document->clearUndoRedoStacks();\n    document->setModified(false);",
     "    if (!MUT(3106)) {\n        document->clearUndoRedoStacks();\n        document->setModified(false);\n    }"),
]
