#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "engine/InputRanges.h"
#include "engine/RunRecord.h"
#include "engine/exports/ExportSet.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace halvorn::ui {

class Application;

// The export of the calculation on the results screen: the formats by family, the folder, the
// collimation and the angle grid of the EGSnrc source, for a loaded result file the target angle it
// does not record, the air kerma of the absolute scale, and the phase space's photon count and plane. Writes
// the chosen files all or nothing and says which it wrote, or why none.
class ExportDialog : public QDialog {
    Q_OBJECT
public:
    explicit ExportDialog(Application& app);
    // Sets the dialog up for `shown`: the target angle is asked for a result file only (16 degrees until
    // the user gives another), a fresh calculation shows its own.
    void Prepare(const RunRecord& run, std::vector<std::string> protectedFiles);

public slots:
    void CommandBrowse_Click();  // "参照…": a folder chooser
    void CommandWrite_Click();   // "書き出す"
    void CommandCancel_Click();  // "キャンセル"

private:
    // Reads a field as one number: empty gives nothing when `optional` (else it is refused), a value
    // outside the field's range or a text that is not one number is refused with its message, the field
    // focused and selected. False when refused.
    bool ReadField(QLineEdit* field, InputField range, bool optional, std::optional<double>& value);
    void Refuse(QLineEdit* field, const halvorn::Message& message);
    // The same for a refusal of this dialog's own, with its text and caption.
    void Refuse(QLineEdit* field, const QString& text, const QString& caption);
    // The angle step counts only when the EGSnrc files are chosen.
    void EgsnrcChosen(bool chosen);
    // The photon count and the plane count only when the phase space is chosen.
    void PhaseSpaceChosen(bool chosen);
    // Reads the fields of the absolute scale and the phase space into `options`. False when refused.
    bool ReadFanBeamFields(bool phaseSpace, ExportOptions& options);

    Application& app_;
    RunRecord shown_;
    std::vector<std::string> protectedFiles_;  // no file of the set may replace them
    std::vector<QCheckBox*> families_;         // in the order of kExportFamilies
    QLineEdit* folder_ = nullptr;
    QLineEdit* collimation_ = nullptr;
    QLineEdit* angleStep_ = nullptr;
    QLineEdit* targetAngle_ = nullptr;
    QLineEdit* kerma_ = nullptr;
    QLineEdit* photons_ = nullptr;
    QLineEdit* plane_ = nullptr;
    QLabel* targetNote_ = nullptr;
    QString resultFileAngle_ = QStringLiteral("16");  // the target angle last given for a result file
    QString defaultFolder_;                           // the folder the dialog last offered
    bool writing_ = false;                            // within 書き出す
};

}  // namespace halvorn::ui
