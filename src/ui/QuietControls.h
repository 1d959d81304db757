#pragma once

#include "db/Dataset.h"

namespace ui {

// Keeps the controls bound to a dataset still for its lifetime (while rows are
// loaded or a report reads them); they follow the dataset again also when the
// work throws.
class QuietControls {
public:
    explicit QuietControls(db::Dataset& dataset) : m_dataset(dataset) { m_dataset.disableControls(); }
    ~QuietControls() { m_dataset.enableControls(); }
    QuietControls(const QuietControls&) = delete;
    QuietControls& operator=(const QuietControls&) = delete;

private:
    db::Dataset& m_dataset;
};

} // namespace ui
