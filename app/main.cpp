#include "frmuVylSetup.h"
#include "untApplication.h"

int main(int argc, char** argv) {
    TVylApplication application(argc, argv);
    TfrmVylSetup form;
    form.show();
    return TVylApplication::exec();
}
