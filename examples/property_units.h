#pragma once

// A property of a host's objects shown through a unit convertor and edited through a
// validation string, as a dialog of the host does it:
//   1. the tracks of a board keep their width in base units (1 mm = 1,500,000);
//   2. a width property reads and writes that width for one handle, and, through the base
//      class, for every track focused in a collection (an empty value when they differ);
//   3. a convertor shows the width in millimetres (or mils, when the user switches units); the
//      property passes the convertor's change on as a property change;
//   4. what the user types is converted back and validated against "#[0,25]" (a range in the
//      shown unit) before it is written; a value out of range is replaced by the library's
//      message, whose bounds are converted back to the stored unit.
// Header-only, so that both the example program and the `tessar demo` step run it.

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "SCC_Convertor.h"
#include "SCC_Property.h"
#include "SCC_StdCollection.h"
#include "SYS_Exception.h"

namespace property_units {

struct Track {
    std::string name;
    int width;  // base units
};

inline Track& TrackOf(SYS_Handle handle) { return *reinterpret_cast<Track*>(handle); }

// The host's data and a collection that walks it.
class TrackList : public SCC_StdCollection {
public:
    SYS_Handle Add(const char* name, int width) {
        m_tracks.push_back(std::make_unique<Track>(Track{name, width}));
        return reinterpret_cast<SYS_Handle>(m_tracks.back().get());
    }
    SYS_Handle _GetSlider() override { return m_slider < Count() ? At(m_slider) : 0; }
    void _SetSlider(SYS_Handle handle) override {
        m_slider = Count();
        for (size_t i = 0; i < Count(); ++i)
            if (At(i) == handle) m_slider = i;
    }
    int _GetFirst() override { return (m_slider = 0) < Count(); }
    int _GetNext() override {
        m_slider = m_slider < Count() ? m_slider + 1 : 0;
        return m_slider < Count();
    }

private:
    size_t Count() const { return m_tracks.size(); }
    SYS_Handle At(size_t i) const { return reinterpret_cast<SYS_Handle>(m_tracks[i].get()); }

    std::vector<std::unique_ptr<Track>> m_tracks;
    size_t m_slider = 0;
};

// The width of a track, in base units.
class WidthProperty : public SCC_StdProperty {
public:
    using SCC_StdProperty::GetValue;
    using SCC_StdProperty::SetValue;
    int GetValue(SYS_Handle handle, SCC_Variant& value) override {
        if (handle == 0) return 0;
        value = SCC_Variant(TrackOf(handle).width);
        return 1;
    }
    int SetValue(SYS_Handle handle, const SCC_Variant& value, int /*flags*/) override {
        if (handle == 0) return 0;
        TrackOf(handle).width = int(value);
        return 1;
    }
    int HasSetMethod() override { return 1; }
};

// Base units forward to a display unit, and back (rounded to a whole base unit).
class UnitConvertor : public SCC_Convertor {
public:
    UnitConvertor() : m_perUnit(1500000.0), m_name("mm") {}
    SCC_Variant Convert(SCC_Variant value, int direction) override {
        if (value.IsEmpty()) return value;
        if (direction == 1) return SCC_Variant(double(value) / m_perUnit);
        const double base = double(value) * m_perUnit;
        return SCC_Variant(static_cast<long>(base > 0 ? base + 0.5 : base - 0.5));
    }
    void UseMils() {
        m_perUnit = 38100.0;
        m_name = "mil";
        Notify(SCC_NotifyChanged, nullptr);  // every property using the convertor hears it
    }
    const char* Name() const { return m_name; }

private:
    double m_perUnit;
    const char* m_name;
};

// The dialog's width field over the focused tracks.
class WidthField {
public:
    WidthField(TrackList& tracks, std::ostream& out)
        : m_tracks(tracks), m_out(out), m_property(new WidthProperty),
          m_units(new UnitConvertor), m_hook(this, &WidthField::OnPropertyChanged, 0) {
        m_property->SetConvertor(m_units.Get());
        m_property->SetValidation("#[0,25]");
        AddHook(*m_property->GetPropEvent(), m_hook);
    }

    void Show() {
        SCC_Variant stored;
        m_property->GetValue(&m_tracks, stored);
        if (stored.IsEmpty()) {
            m_out << "  field: (the focused tracks differ: the field stays empty)\n";
            return;
        }
        const SCC_Variant shown = m_property->GetConvertor()->Convert(stored, 1);
        m_out << "  field: " << static_cast<const char*>(SYS_String(shown)) << " "
              << m_units->Name() << " (stored " << long(stored) << ")\n";
    }

    // The user typed `text` in the shown unit.
    void Type(const char* text) {
        m_out << "  user types \"" << text << "\"\n";
        try {
            SCC_Variant stored = m_property->GetConvertor()->Convert(SCC_Variant(text), 0);
            if (!stored.Validate(m_property->GetValidation(), m_property->GetConvertor())) {
                m_out << "  message: " << static_cast<const char*>(SYS_String(stored)) << "\n";
                return;
            }
            m_property->SetValue(&m_tracks, stored, 0);
        } catch (const SYS_Exception& e) {
            m_out << "  message: " << static_cast<const char*>(e.GetText()) << "\n";
            return;
        }
        Show();
    }

    UnitConvertor& Units() { return *m_units; }

private:
    int OnPropertyChanged(int code, int* /*data*/) {
        m_out << "  property change (" << code << "): the field shows it again\n";
        Show();
        return 0;
    }

    TrackList& m_tracks;
    std::ostream& m_out;
    SCC_SharedPointer<SCC_StdProperty> m_property;
    SCC_SharedPointer<UnitConvertor> m_units;
    SCC_ObjectEventHook<WidthField, int> m_hook;
};

inline void Run(std::ostream& out) {
    TrackList tracks;
    SYS_Handle gnd = tracks.Add("GND", 375000);      // 0.25 mm
    SYS_Handle clk = tracks.Add("CLK", 150000);      // 0.1 mm
    tracks.AllowReload(1);
    WidthField field(tracks, out);

    out << "GND is focused; its width is stored in base units and shown in millimetres:\n";
    tracks.SetFocus(gnd, 0);
    field.Show();
    out << "The field accepts widths in \"#[0,25]\", a range in the shown unit:\n";
    field.Type("30");
    field.Type("0.2.5");
    field.Type("12.5");
    out << "CLK joins the focus; the two widths differ:\n";
    tracks.SetFocus(clk, 1);
    field.Show();
    out << "One width for both:\n";
    field.Type("0.3");
    out << "The user switches to mils; the convertor notifies:\n";
    field.Units().UseMils();
}

}  // namespace property_units
