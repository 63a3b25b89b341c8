#include "mainwindow.h"

#include <QDebug>

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    qDebug() << "MainWindow::MainWindow";
}

MainWindow::~MainWindow()
{
    qDebug() << "MainWindow::~MainWindow";
}
