#pragma once

#include "SYS_Geom.h"
#include "SYS_String.h"
#include "TessarExport.h"

/// @file
/// Attributes of a placed text: its style (font and size), its placement and the text itself.
/// Sizes are in base units.

/// A font name with a height and a width. Empty font and zero sizes by default.
class TESSAR_EXPORT SYS_TextStyle {
public:
    SYS_TextStyle() : m_height(0), m_width(0) {}
    /// Copy the font, height and width.
    ///@{
    SYS_TextStyle(const SYS_TextStyle& other) = default;
    SYS_TextStyle& operator=(const SYS_TextStyle& other) = default;
    ///@}
    ~SYS_TextStyle() = default;

    /// The font name; empty until set.
    SYS_String GetFont() const { return m_font; }
    /// Height and width in world units; 0 until set.
    ///@{
    long GetHeight() const { return m_height; }
    long GetWidth() const { return m_width; }
    ///@}
    /// Each setter returns 1.
    ///@{
    int SetFont(const SYS_String& font) { return m_font = font, 1; }
    int SetHeight(long height) { return m_height = height, 1; }
    int SetWidth(long width) { return m_width = width, 1; }
    ///@}

private:
    SYS_String m_font;
    long m_height;
    long m_width;
};

/// The style in use and the placement (origin, orientation, mirror) of a text. The style is
/// referred to, not owned: it must outlive every attributes object (and every copy of one) that
/// uses it. Copies refer to the same style.
class TESSAR_EXPORT SYS_TextAttributes {
public:
    SYS_TextAttributes() : m_style(nullptr) {}
    /// Copy the position and the style's address (the style itself is shared, not copied).
    ///@{
    SYS_TextAttributes(const SYS_TextAttributes& other) = default;
    SYS_TextAttributes& operator=(const SYS_TextAttributes& other) = default;
    ///@}

    /// Null until a style is set.
    const SYS_TextStyle* GetStyle() const { return m_style; }
    /// Keeps the address of `style`; returns 1.
    int SetStyle(const SYS_TextStyle& style) { return m_style = &style, 1; }
    /// The anchor position of the text.
    SYS_Position GetPosition() const { return m_position; }
    /// Sets the anchor position; returns 1.
    int SetPosition(const SYS_Position& position) { return m_position = position, 1; }

private:
    const SYS_TextStyle* m_style;
    SYS_Position m_position;
};

/// A placed text: its attributes and its string. Copying copies the style pointer, not the style.
class TESSAR_EXPORT SYS_Text : public SYS_TextAttributes {
public:
    SYS_Text() = default;
    /// Copy the text and the attributes (sharing the style, see SYS_TextAttributes).
    ///@{
    SYS_Text(const SYS_Text& other) = default;
    SYS_Text& operator=(const SYS_Text& other) = default;
    ///@}
    ~SYS_Text() = default;

    /// The text itself.
    SYS_String GetString() const { return m_string; }
    /// Replaces the text; returns 1.
    int SetString(const SYS_String& text) { return m_string = text, 1; }

private:
    SYS_String m_string;
};
