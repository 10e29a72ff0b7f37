/* Ticketwright skin: a Qt style sheet applied to the main window and everything in it. */

QWidget {
    color: #1f2933;
}

QGroupBox {
    background-color: #eef1f5;
    border: 1px solid #c3cbd6;
    border-radius: 5px;
    margin-top: 1.2em;
    padding: 6px 6px 4px 6px;
}

QGroupBox::title {
    subcontrol-origin: margin;
    subcontrol-position: top left;
    left: 8px;
    padding: 0 3px;
    color: #2c4a6e;
}

QLineEdit {
    background-color: #ffffff;
    border: 1px solid #aab4c2;
    border-radius: 3px;
    padding: 2px 4px;
    selection-background-color: #3b6ea8;
    selection-color: #ffffff;
}

QLineEdit:focus {
    border: 1px solid #3b6ea8;
}

QPushButton {
    background-color: #f7f9fb;
    border: 1px solid #9aa8b9;
    border-radius: 4px;
    padding: 3px 10px;
    color: #1f2933;
}

QPushButton:hover {
    background-color: #e3ecf6;
    border-color: #3b6ea8;
}

QPushButton:pressed {
    background-color: #cfdcec;
}

QPushButton:disabled {
    color: #8a96a5;
    background-color: #eef1f5;
    border-color: #c3cbd6;
}

QProgressBar {
    background-color: #ffffff;
    border: 1px solid #aab4c2;
    border-radius: 4px;
    text-align: center;
    color: #1f2933;
}

QProgressBar::chunk {
    background-color: #5b8fc7;
    border-radius: 3px;
}

QLabel {
    background: transparent;
}
