"""Faults of the shared catalogues whose code the headless core moved or
reshaped (failures as values, one board session, the fleet in pravik/fleet,
the window's link thread): the same fault at its new place, ids 3001 up, the
old id in each description (1109, the last paragraph's alignment, is 3100 of
rtf_layout.py). Format of the shared catalogues:
M = {path: [(id, description, original text, mutant text)]}."""

M = {}

M["pravik/link/exchange.cpp"] = [
    (3001, "three wrong echoes before the checksum error (was 202)",
     "            if (++retries > 1)",
     "            if (++retries > (MUT(3001) ? 2 : 1))"),
    (3002, "SEND and RETURN numbers swapped in the message (was 207)",
     "QStringLiteral(\"SEND \") + common::signPosition(sent)",
     "QStringLiteral(\"SEND \") + common::signPosition(MUT(3002) ? returned : sent)"),
]

M["pravik/jobs/compare_file.cpp"] = [
    (3003, "a cut record passes (was 606)",
     "            if (reader.atEnd())\n                return wrongFile(",
     "            if (reader.atEnd() && !MUT(3003))\n                return wrongFile("),
    (3004, "an unreadable compare file passes (was 607)",
     "    QFile file(path);\n    if (!file.open(QIODevice::ReadOnly))",
     "    QFile file(path);\n    if (MUT(3004) && !file.open(QIODevice::ReadOnly))\n        return {};\n"
     "    if (!file.isOpen() && !file.open(QIODevice::ReadOnly))"),
]

M["common/rtf/rtf_reader.cpp"] = [
    (3006, "\\' takes up to three hex digits (was 1110)",
     "        while (digits < 2 && m_pos < m_size",
     "        while (digits < (MUT(3006) ? 3 : 2) && m_pos < m_size"),
]

M["pravik/jobs/transmission_jobs.cpp"] = [
    (3007, "a failing compare file still counts as nothing to send (was 1303)",
     "checked ? failed(std::move(checked)) : resultOf(JobOutcome::NothingToSend)",
     "(checked && !MUT(3007)) ? failed(std::move(checked)) : resultOf(JobOutcome::NothingToSend)"),
    (3008, "a job's end leaves the window enlarged (was 1304)",
     "    context.view.endTransfer(true);\n    return result;",
     "    context.view.endTransfer(!MUT(3008));\n    return result;"),
    (3009, "properties sent although the picture is gone (was 1305)",
     "        if (common::Status failure = picture::requirePictureFile(\n"
     "                context.screens, row, context.displayFileName, picture::kMissingPictureText))",
     "        if (common::Status failure = picture::requirePictureFile(\n"
     "                context.screens, row, context.displayFileName, picture::kMissingPictureText);\n"
     "            failure && !MUT(3009))"),
    (3010, "display command sent on a closed serial port (was 1306)",
     "    if (!context.settings.isEthernet() && !context.serialPortOpen())\n"
     "        return failed(common::Failure{static_cast<int>(link::ExchangeResult::LinkFailed),\n"
     "                                      setUpPort.title",
     "    if (!context.settings.isEthernet() && !context.serialPortOpen() && !MUT(3010))\n"
     "        return failed(common::Failure{static_cast<int>(link::ExchangeResult::LinkFailed),\n"
     "                                      setUpPort.title"),
]

M["pravik/app/file_commands.cpp"] = [
    (3011, "a bare name is saved in the working folder (was 1504)",
     "    const QString path = QDir(m_state.documentFolder).filePath(m_state.currentFileName);",
     "    const QString path = MUT(3011) ? m_state.currentFileName\n"
     "                                   : QDir(m_state.documentFolder).filePath(m_state.currentFileName);"),
]

M["pravik/link/udp_transport.cpp"] = [
    (3012, "datagrams from any sender count as answers (was 1701)",
     "        if (m_remoteAddress && datagram.senderAddress().isEqual(\n"
     "                                   *m_remoteAddress, QHostAddress::ConvertV4MappedToIPv4)) {",
     "        if (m_remoteAddress && (MUT(3012) || datagram.senderAddress().isEqual(\n"
     "                                   *m_remoteAddress, QHostAddress::ConvertV4MappedToIPv4))) {"),
    (3013, "an answer once read stays waiting (was 1704)",
     "    data = m_hasWaiting ? m_waiting : QByteArray();\n    m_waiting.clear();\n    m_hasWaiting = false;",
     "    data = m_hasWaiting ? m_waiting : QByteArray();\n    if (!MUT(3013)) {\n"
     "        m_waiting.clear();\n        m_hasWaiting = false;\n    }"),
]

M["pravik/link/serial_transport.cpp"] = [
    (3014, "bytes already received are not seen as waiting (was 1804)",
     "    dataWaiting = m_port.bytesAvailable() > 0;\n    if (dataWaiting)",
     "    dataWaiting = m_port.bytesAvailable() > 0 && !MUT(3014);\n    if (dataWaiting)"),
]

M["cli/board_command_line.cpp"] = [
    (3015, "a failed exchange exits with the stopped status (was 1911)",
     "    return failure ? failure->code : ExitOk;",
     "    return failure ? (MUT(3015) ? 1 : failure->code) : ExitOk;"),
]

M["pravik/fleet/fleet_runner.cpp"] = [
    (3016, "links sent one at a time unless --jobs is given (was 2001)",
     "m_linksAtOnce(linksAtOnce > 0 ? linksAtOnce : kMostLinksAtOnce)",
     "m_linksAtOnce(linksAtOnce > 0 ? linksAtOnce : (MUT(3016) ? 1 : kMostLinksAtOnce))"),
]

M["pravik/fleet/fleet_send.cpp"] = [
    (3017, "boards' jobs get a token of their own: Ctrl-C does not stop a fleet (was 2002)",
     "        const jobs::JobReport report =\n"
     "            jobs::runJob(*session, input, jobs::sendAll, progress, prompter, stop);",
     "        jobs::StopToken own;\n"
     "        const jobs::JobReport report =\n"
     "            jobs::runJob(*session, input, jobs::sendAll, progress, prompter,\n"
     "                         MUT(3017) ? own : stop);"),
]

M["pravik/fleet/fleet_file.cpp"] = [
    (3018, "a fleet line's bus address not applied, the display file's is used (was 2003)",
     "    onLink.settings.setBusAddress(board.busAddress);",
     "    if (!MUT(3018))\n        onLink.settings.setBusAddress(board.busAddress);"),
]

M["pravik/fleet/board_outcome.cpp"] = [
    (3019, "a failed board's code is always 1, not the exchange's result (was 2004)",
     "        outcome.code = result.failure ? result.failure->code : common::kFailedCode;",
     "        outcome.code = (result.failure && !MUT(3019)) ? result.failure->code : common::kFailedCode;"),
]

M["cli/fleet_report.cpp"] = [
    (3020, "exit status of the last failed board in the file, not the first (was 2005)",
     "    for (const fleet::BoardOutcome &outcome : outcomes) {\n"
     "        if (outcome.code != 0)\n            return outcome.code;\n    }\n    return 0;",
     "    int lastCode = 0;\n    for (const fleet::BoardOutcome &outcome : outcomes) {\n"
     "        if (outcome.code != 0 && !MUT(3020))\n            return outcome.code;\n"
     "        if (outcome.code != 0)\n            lastCode = outcome.code;\n    }\n    return lastCode;"),
]

M["pravik/link/board_identity.cpp"] = [
    (3021, "a UDP link's identity keeps the host as written: 10.000.0.2 and 10.0.0.2 are two links (was 2006)",
     "            .arg(common::canonicalDottedQuad(settings.ipAddress.trimmed()))",
     "            .arg(MUT(3021) ? settings.ipAddress.trimmed()\n"
     "                           : common::canonicalDottedQuad(settings.ipAddress.trimmed()))"),
]

M["pravik/link/shared_udp_socket.cpp"] = [
    (3022, "mailbox looked up by the sender's address in network byte order (was 2011)",
     "    const quint32 address = ntohl(in4.sin_addr.s_addr);",
     "    const quint32 address = MUT(3022) ? in4.sin_addr.s_addr : ntohl(in4.sin_addr.s_addr);"),
    (3023, "a socket bound for each board, not one shared per local port (was 2013)",
     "    if (const auto bound = m_sockets.find(key); bound != m_sockets.end())",
     "    if (const auto bound = m_sockets.find(key); bound != m_sockets.end() && !MUT(3023))"),
]

M["pravik/link/udp_port_holders.cpp"] = [
    (3024, "our own socket counted as another holder of the port (was 2014)",
     "        if (portOk && inodeOk && localPort == port && !ownInodes.contains(inode))",
     "        if (portOk && inodeOk && localPort == port && (!ownInodes.contains(inode) || MUT(3024)))"),
]

M["pravik/jobs/board_ledger.cpp"] = [
    (3025, "the under-way mark is not written before the first frame (was 2023)",
     "    known.transferUnderWay = true;\n"
     "    // Without the mark on disk a crash would leave the old record trusted.\n"
     "    if (!write())",
     "    known.transferUnderWay = true;\n"
     "    // Without the mark on disk a crash would leave the old record trusted.\n"
     "    if (!MUT(3025) && !write())"),
]

M["pravik/jobs/screen_digests.cpp"] = [
    (3026, "properties digest taken of the next screen (was 2026)",
     "        picture::screenPropertiesPayload(screens, vocabulary, screenIndex);",
     "        picture::screenPropertiesPayload(screens, vocabulary,\n"
     "                                         std::uint8_t(screenIndex + (MUT(3026) ? 1 : 0)));"),
]

M["pravik/jobs/screen_transfer.cpp"] = [
    (3027, "a part recorded as on the board although its send failed (was 2027)",
     "        if (!failed && ledger)\n            ledger->acknowledged(",
     "        if ((!failed || MUT(3027)) && ledger)\n            ledger->acknowledged("),
    (3028, "stop not checked before each frame: a stop waits for the end of the screen (was 2054)",
     "        if (context.stop.stopRequested()) {\n            cancelled = true;",
     "        if (context.stop.stopRequested() && !MUT(3028)) {\n            cancelled = true;"),
]
