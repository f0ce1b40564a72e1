#include "qt_file_chooser.h"

#include <QDir>
#include <QFileDialog>

namespace common {

QString QtFileChooser::choose(const FileDialogRequest &request)
{
    // The folder may be the operator's document folder, made when first needed.
    if (!request.folder.isEmpty())
        QDir().mkpath(request.folder);
    QFileDialog dialog(m_parent, request.title, request.folder);
    dialog.setNameFilter(request.filter);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (request.kind == FileDialogRequest::Kind::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        // A name that does not exist yet may be typed: opening it starts a new file.
        dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

} // namespace common
