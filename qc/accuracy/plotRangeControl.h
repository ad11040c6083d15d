#pragma once

#include "accuracy/autoRange.h"
#include "accuracy/plotRangeSettings.h"

#include <belrix_common_qt_gui/baseGraphWidget.h>
#include <belrix_common_qt_gui/guiSettings.h>

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>

#include <optional>
#include <utility>

namespace orvane {
namespace qc {

// What the accuracy windows share about their plot's range: the settings record that sets
// it, the plot and caption that show it, its automatic choice, the configuration dialog
// that edits a copy of the record without modality, and the keys the record is stored
// under. A window owns one in its private block and keeps only the rules of its own.
template <class Settings, class ConfigDialog>
class plotRangeControl_t
{
public:
    using keyFunction_t = plotRangeSettings_t::keyFunction_t;

    // Adds the window's Settings button, and connects it, the dialog's accepted() and a
    // change of distance unit to the window's showConfigSettings, getNewConfigSettings
    // and updateRange. key forms the window's configuration keys; labelsKey says whether
    // its stored record must hold "labels".
    template <class Window>
    void attach(Window* window, QDialogButtonBox* buttons, QLabel* caption,
                belrix_common_qt_gui::baseGraphWidget_t* plot, ConfigDialog* dialog, keyFunction_t key,
                plotRangeSettings_t::labelsKey_t labelsKey)
    {
        using belrix_common_qt_gui::guiSettings_t;
        m_caption = caption;
        m_plot = plot;
        m_dialog = dialog;
        m_key = std::move(key);
        m_labelsKey = labelsKey;
        auto* button = new QPushButton(Window::tr("Settings"), window);
        button->setObjectName(QStringLiteral("settingsButton"));
        buttons->addButton(button, QDialogButtonBox::ActionRole);
        QObject::connect(button, &QPushButton::clicked, window, &Window::showConfigSettings);
        QObject::connect(dialog, &QDialog::accepted, window, &Window::getNewConfigSettings);
        QObject::connect(guiSettings_t::get(), &guiSettings_t::distanceUnitChanged, window, &Window::updateRange);
    }

    Settings const& settings() const { return m_settings; }
    ConfigDialog* dialog() const { return m_dialog; }

    // Takes the record and shows its range and labels on the plot and in the caption.
    void setSettings(Settings const& settings)
    {
        m_settings = settings;
        updateCaption();
        m_plot->setRange(m_settings.range);
        m_plot->setGraphLabelType(m_settings.labels);
    }

    void updateCaption() { m_caption->setText(m_settings.rangeCaption()); }

    // With auto scale, moves the range up or down to the automatic range for size.
    void follow(double size)
    {
        if (!m_settings.autoScale)
            return;
        const double chosen = autoRangeFor(size);
        // an empty table offers nothing to choose: the range stays as it is
        if (chosen <= 0.0 || chosen == m_settings.range)
            return;
        Settings followed = m_settings;
        followed.range = chosen;
        setSettings(followed);
    }

    // The range that takes in size without ever shrinking: the present one while size
    // fits in it or auto scale is off, else the next automatic range above size; none
    // when size lies beyond every automatic range.
    std::optional<double> rangeToFit(double size) const
    {
        if (!m_settings.autoScale || !(size > m_settings.range))
            return m_settings.range;
        const double chosen = autoRangeAbove(size);
        if (chosen <= 0.0)
            return std::nullopt;
        return chosen;
    }

    // The dialog edits a copy; the window takes dialogSettings() back on accepted().
    void showDialog()
    {
        m_dialog->setConfigSettings(m_settings);
        m_dialog->show();
    }
    Settings dialogSettings() const { return m_dialog->newConfigSettings(); }

    void save(tolvconfig::config_t& config) const { m_settings.save(config, m_key); }

    // The stored record, or none when a key it needs is missing.
    std::optional<Settings> load(tolvconfig::config_t const& config) const
    {
        Settings loaded;
        if (!loaded.load(config, m_key, m_labelsKey))
            return std::nullopt;
        return loaded;
    }

private:
    Settings m_settings;
    QLabel* m_caption = nullptr;
    belrix_common_qt_gui::baseGraphWidget_t* m_plot = nullptr;
    ConfigDialog* m_dialog = nullptr;
    keyFunction_t m_key;
    plotRangeSettings_t::labelsKey_t m_labelsKey = plotRangeSettings_t::labelsRequired;
};

} // namespace qc
} // namespace orvane
