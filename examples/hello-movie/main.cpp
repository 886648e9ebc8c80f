// hello-movie: a program built on the installed Pictova library as any outside
// program would be. It writes a movie of 320 x 240 pixels: a red rectangle on
// white, and the picture given on the command line (JPEG, PNG or BMP) over it.
//
//   hello-movie OUTPUT.swf PICTURE
#include <pictova/movie/FlashImage.h>
#include <pictova/movie/FlashMovie.h>
#include <pictova/movie/FlashPlaceObject.h>
#include <pictova/movie/FlashShape.h>

#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: hello-movie OUTPUT.swf PICTURE\n";
        return 2;
    }
    try {
        using namespace pictova;
        // Pixel units, 12 frames per second.
        TFlashMovie movie(0, 0, 320, 240, 12, true);
        movie.BackgroundColor().SetRGB(MakeRGB(255, 255, 255));

        TFlashShape& rectangle = movie.AddRectangle(0, 0, 160, 120);
        rectangle.SetSolidColor(MakeRGBA(255, 0, 0, 255));
        movie.PlaceObject(rectangle, 1);

        TFlashImage& image = movie.AddImage(argv[2]);
        TFlashPlaceObject& picture = movie.PlaceObject(movie.AddShapeImage(image), 2);
        picture.SetX(170);
        picture.SetY(130);

        movie.ShowFrame();
        movie.MakeStream();
        movie.SaveToFile(argv[1]);
    } catch (const std::exception& e) {
        std::cerr << "hello-movie: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
