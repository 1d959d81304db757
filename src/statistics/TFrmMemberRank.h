#pragma once

#include "shop/MemberAnalysis.h"
#include "statistics/AnalysisWindow.h"

// 会员消费排行: members by what they spent over a date range, with their bills,
// pieces, last visit and favourite sizes; the phone masked for users without
// the members right.
class TFrmMemberRank : public AnalysisWindow {
    Q_OBJECT
public:
    explicit TFrmMemberRank(QWidget* parent = nullptr);

    QDateEdit* fromDateEdit;
    QDateEdit* toDateEdit;

    const QList<MemberAnalysis::RankRow>& rows() const { return m_rows; }

protected:
    Reading reading() override;
    void showResult() override;
    QString choiceText() const override;

private:
    QList<MemberAnalysis::RankRow> m_rows;
};
