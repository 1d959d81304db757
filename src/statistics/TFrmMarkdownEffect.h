#pragma once

#include "shop/MemberAnalysis.h"
#include "statistics/AnalysisWindow.h"

// 促销效果: per markdown whose dates meet the range, the pieces, amount,
// discount given and margin of the lines it priced, against the goods it
// covers over as many weeks before it began.
class TFrmMarkdownEffect : public AnalysisWindow {
    Q_OBJECT
public:
    explicit TFrmMarkdownEffect(QWidget* parent = nullptr);

    QDateEdit* fromDateEdit;
    QDateEdit* toDateEdit;

    const QList<MemberAnalysis::EffectRow>& rows() const { return m_rows; }

protected:
    Reading reading() override;
    void showResult() override;
    QString choiceText() const override;

private:
    QList<MemberAnalysis::EffectRow> m_rows;
};
